// The settings panel: the two gains and the two auto-answer delays of the adapter's record.
#pragma once

#include <QFrame>

#include <functional>
#include <memory>

struct DeviceRecord;
class SpinSelector;
class Ui_SettingsPanel;

class SettingsPanel final : public QFrame
{
    Q_OBJECT

public:
    explicit SettingsPanel(QWidget *parent = nullptr);
    ~SettingsPanel() override;

    // The record the panel shows and changes, and what sends the record after a change.
    void connectRecord(DeviceRecord &record, std::function<void()> save);

    // Shows the record's four settings without raising change notifications, so that loading never
    // sends anything. A value outside a list shows its nearer end; the record keeps the value until
    // the user steps that selector.
    void LoadFromRecord();

protected:
    void changeEvent(QEvent *event) override;

private:
    void fitLabels();
    void MICgainChange(SpinSelector *Sender);
    void LINEgainChange(SpinSelector *Sender);
    void AanswerAChange(SpinSelector *Sender);
    void AanswerBChange(SpinSelector *Sender);
    void btn1Click();

    std::unique_ptr<Ui_SettingsPanel> ui;
    DeviceRecord *m_record = nullptr;
    std::function<void()> m_save;
};
