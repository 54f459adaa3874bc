// The settings panel: the two gains and the two auto-answer delays of the adapter's record.
#pragma once

#include <QFrame>

#include <functional>
#include <memory>

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

    // The record the panel changes, and what sends the record after a change.
    void connectRecord(DeviceRecord &record, std::function<void()> save);

    // Shows the record's four settings without change notifications, so that showing never sends
    // anything. A value outside a list shows its nearer end; the record keeps the value until the
    // user steps that selector.
    void showSettings(const DeviceRecord &record);

protected:
    void changeEvent(QEvent *event) override;

private:
    void fitLabels();

    std::unique_ptr<Ui::SettingsPanel> m_ui;
};
