// The settings panel: the two gains and the two auto-answer delays of the adapter's record.
#pragma once

#include <QFrame>

#include <memory>

class AdapterPort;
struct DeviceRecord;

namespace Ui {
class SettingsPanel;
}

class SettingsPanel final : public QFrame
{
    Q_OBJECT

public:
    explicit SettingsPanel(QWidget *parent = nullptr);
    ~SettingsPanel() override;

    // The adapter each step of a selector goes to, as that one setting alone.
    void setAdapter(AdapterPort &adapter);

    // Shows the record's four settings without change notifications, so that showing never asks for
    // a change. A value outside a list shows its nearer end; the adapter keeps the value until the
    // user steps that selector.
    void showSettings(const DeviceRecord &record);

protected:
    void changeEvent(QEvent *event) override;

private:
    void fitLabels();

    std::unique_ptr<Ui::SettingsPanel> m_ui;
};
