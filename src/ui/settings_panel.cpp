// SPDX-License-Identifier: GPL-3.0-or-later
// The settings panel.
#include "ui/settings_panel.h"

#include "model/selector_items.h"
#include "ports/adapter_port.h"
#include "ui/logging.h"
#include "ui/panel_text.h"

#include "ui_settings_panel.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QSignalBlocker>

#include <algorithm>

namespace vestra7 {

SettingsPanel::SettingsPanel(QWidget *parent)
    : QFrame(parent)
    , m_ui(std::make_unique<Ui::SettingsPanel>())
{
    m_ui->setupUi(this);
    showItems();
    connect(m_ui->okButton, &QPushButton::clicked, this, &QWidget::hide);
    // Esc closes the panel as its OK does, from wherever the focus is in the window, while it shows.
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, m_ui->okButton, &QPushButton::click);
    for (QWidget *label : {m_ui->micGainLabel, m_ui->lineGainLabel, m_ui->autoAnswerALabel, m_ui->autoAnswerBLabel})
        setDarkPanelText(label);
    fitLabels();
}

SettingsPanel::~SettingsPanel() = default;

void SettingsPanel::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    // The labels have taken the new font by now.
    if (event->type() == QEvent::FontChange) {
        fitLabels();
    } else if (event->type() == QEvent::LanguageChange) {
        m_ui->retranslateUi(this);
        showItems();
        fitLabels();
    }
}

void SettingsPanel::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    // Not when the window comes back from being minimised: the user's focus stays where it was.
    if (!event->spontaneous())
        m_ui->micGainSelector->setFocus(Qt::OtherFocusReason);
}

std::array<SpinSelector *, 4> SettingsPanel::selectors() const
{
    return {m_ui->micGainSelector, m_ui->lineGainSelector, m_ui->autoAnswerASelector, m_ui->autoAnswerBSelector};
}

std::array<QSignalBlocker, 4> SettingsPanel::blockChangeSignals() const
{
    return {QSignalBlocker(m_ui->micGainSelector), QSignalBlocker(m_ui->lineGainSelector),
            QSignalBlocker(m_ui->autoAnswerASelector), QSignalBlocker(m_ui->autoAnswerBSelector)};
}

void SettingsPanel::showItems()
{
    // Items in another language show the same settings: the values stay, and nothing is asked of
    // the adapter.
    const std::array<SpinSelector *, 4> all = selectors();
    std::array<int, 4> values;
    std::transform(all.begin(), all.end(), values.begin(),
                   [](const SpinSelector *selector) { return selector->value(); });
    const std::array<QSignalBlocker, 4> blockers = blockChangeSignals();
    m_ui->micGainSelector->setItems(micGainItems());
    m_ui->lineGainSelector->setItems(lineGainItems());
    m_ui->autoAnswerASelector->setItems(autoAnswerItems());
    m_ui->autoAnswerBSelector->setItems(autoAnswerItems());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i]->setValue(values[i]);
}

void SettingsPanel::fitLabels()
{
    // The labels end where the selectors begin, right-aligned there. Laid out for Tahoma, they grow
    // to the left where a wider font stands in for it, rather than cut off the start of their text.
    for (QLabel *label : {m_ui->micGainLabel, m_ui->lineGainLabel, m_ui->autoAnswerALabel, m_ui->autoAnswerBLabel}) {
        QRect area = label->geometry();
        area.setLeft(std::min(area.left(), area.right() + 1 - label->sizeHint().width()));
        label->setGeometry(area);
    }
}

void SettingsPanel::setAdapter(AdapterPort &adapter)
{
    // A selector's value is the index of the item it shows, and that index is the setting.
    connect(m_ui->micGainSelector, &SpinSelector::valueChanged, this, [&adapter](int value) {
        qCDebug(lcUi) << "MIC gain" << value;
        adapter.setMicGain(value);
    });
    connect(m_ui->lineGainSelector, &SpinSelector::valueChanged, this, [&adapter](int value) {
        qCDebug(lcUi) << "LINE gain" << value;
        adapter.setLineGain(value);
    });
    connect(m_ui->autoAnswerASelector, &SpinSelector::valueChanged, this, [&adapter](int value) {
        qCDebug(lcUi) << "auto answer A" << value;
        adapter.setAutoAnswer(0, value);
    });
    connect(m_ui->autoAnswerBSelector, &SpinSelector::valueChanged, this, [&adapter](int value) {
        qCDebug(lcUi) << "auto answer B" << value;
        adapter.setAutoAnswer(1, value);
    });
}

void SettingsPanel::showSettings(const DeviceRecord &record)
{
    const std::array<QSignalBlocker, 4> blockers = blockChangeSignals();
    // The gains are signed bytes and the delays unsigned ones, as the adapter gives them.
    m_ui->micGainSelector->setValue(record.mic_gain);
    m_ui->lineGainSelector->setValue(record.spk_gain);
    m_ui->autoAnswerASelector->setValue(record.auto_answer[0]);
    m_ui->autoAnswerBSelector->setValue(record.auto_answer[1]);
}

} // namespace vestra7
