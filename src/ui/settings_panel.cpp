// The settings panel.
#include "ui/settings_panel.h"

#include "model/device_record.h"
#include "widgets/selector_items.h"

#include "ui_settings_panel.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <iterator>
#include <utility>

SettingsPanel::SettingsPanel(QWidget *parent)
    : QFrame(parent)
    , ui(std::make_unique<Ui_SettingsPanel>())
{
    ui->setupUi(this);
    ui->MICgain->setItems(micGainItems());
    ui->LINEgain->setItems(lineGainItems());
    ui->AanswerA->setItems(autoAnswerItems());
    ui->AanswerB->setItems(autoAnswerItems());
    connect(ui->btnOk, &QPushButton::clicked, this, &SettingsPanel::btn1Click);
    fitLabels();
}

SettingsPanel::~SettingsPanel() = default;

void SettingsPanel::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    // The labels have taken the new font by now.
    if (event->type() == QEvent::FontChange)
        fitLabels();
}

void SettingsPanel::fitLabels()
{
    // The labels end where the selectors begin, right-aligned there. Laid out for Tahoma, they grow
    // to the left where a wider font stands in for it, rather than cut off the start of their text.
    for (QLabel *label : {ui->lbl1, ui->lbl2, ui->lbl3, ui->lbl4}) {
        QRect area = label->geometry();
        area.setLeft(std::min(area.left(), area.right() + 1 - label->sizeHint().width()));
        label->setGeometry(area);
    }
}

void SettingsPanel::connectRecord(DeviceRecord &record, std::function<void()> save)
{
    m_record = &record;
    m_save = std::move(save);
    ui->MICgain->OnChange = [this](SpinSelector *sender) {
        MICgainChange(sender);
    };
    ui->LINEgain->OnChange = [this](SpinSelector *sender) {
        LINEgainChange(sender);
    };
    ui->AanswerA->OnChange = [this](SpinSelector *sender) {
        AanswerAChange(sender);
    };
    ui->AanswerB->OnChange = [this](SpinSelector *sender) {
        AanswerBChange(sender);
    };
}

void SettingsPanel::LoadFromRecord()
{
    if (!m_record)
        return;
    SpinSelector *const selectors[] = {ui->MICgain, ui->LINEgain, ui->AanswerA, ui->AanswerB};
    std::function<void(SpinSelector *)> handlers[std::size(selectors)];
    for (std::size_t i = 0; i < std::size(selectors); ++i)
        handlers[i] = std::exchange(selectors[i]->OnChange, nullptr);

    // The gains are signed bytes and the delays unsigned ones, as the adapter gives them.
    ui->MICgain->setValue(m_record->mic_gain);
    ui->LINEgain->setValue(m_record->spk_gain);
    ui->AanswerA->setValue(m_record->auto_answer[0]);
    ui->AanswerB->setValue(m_record->auto_answer[1]);

    for (std::size_t i = 0; i < std::size(selectors); ++i)
        selectors[i]->OnChange = std::move(handlers[i]);
}

void SettingsPanel::MICgainChange(SpinSelector *)
{
    m_record->mic_gain = static_cast<std::int8_t>(ui->MICgain->value());
    m_save();
}

void SettingsPanel::LINEgainChange(SpinSelector *)
{
    m_record->spk_gain = static_cast<std::int8_t>(ui->LINEgain->value());
    m_save();
}

void SettingsPanel::AanswerAChange(SpinSelector *)
{
    m_record->auto_answer[0] = static_cast<std::uint8_t>(ui->AanswerA->value());
    m_save();
}

void SettingsPanel::AanswerBChange(SpinSelector *)
{
    m_record->auto_answer[1] = static_cast<std::uint8_t>(ui->AanswerB->value());
    m_save();
}

void SettingsPanel::btn1Click()
{
    hide();
}
