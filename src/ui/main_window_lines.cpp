// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's line control: the call and hang-up buttons of each line, and the line labels
// that choose the active line and tell a screen reader each line's state.
#include "ui/main_window.h"

#include "link/adapter_port.h"
#include "model/ansi_codec.h"
#include "model/line_health.h"
#include "model/line_state.h"
#include "ui/logging.h"
#include "widgets/glyph_button.h"
#include "widgets/glyph_pictures.h"

#include "ui_main_window.h"

#include <algorithm>

namespace {

const char *lineName(int line)
{
    return line == 0 ? "A" : "B";
}

} // namespace

void MainWindow::showLineButtons()
{
    // Both call buttons look at the one number edit, which shows the active line's party.
    const bool numberGiven = m_ui->partyNumberEdit->text().size() > 2;
    const DeviceRecord &record = m_adapter.record();
    for (LineButton &lineButton : m_lineButtons) {
        const std::uint8_t state = record.stat[lineButton.line];
        showButtonState(lineButton, lineButton.calls ? canCall(state) && numberGiven : inCall(state));
    }
}

void MainWindow::showLineStates()
{
    // The labels look the same whichever line is active; a screen reader learns it, and each line's
    // state, operator and signal, from their descriptions, and everyone from their tooltips.
    const DeviceRecord &record = m_adapter.record();
    for (const int line : {kLineA, kLineB}) {
        QWidget *label = lineLabel(line);
        const LineHealth health = lineHealth(record, line, AnsiCodec::system());
        const QString state =
            tr("%1, operator %2, signal %3")
                .arg(lineStateText(health.state), health.operatorName.isEmpty() ? tr("none") : health.operatorName)
                .arg(health.signalLevel);
        const QString toolTip = tr("Line %1: %2").arg(QLatin1String(lineName(line)), state);
        if (label->toolTip() != toolTip)
            label->setToolTip(toolTip);
        const QString description = record.act_line == line
                                        ? tr("%1; the active line").arg(state)
                                        : tr("%1; a click or %2 makes it the active line")
                                              .arg(state, activeLineKey(line).toString(QKeySequence::NativeText));
        // Each change is announced, so only a real one is made.
        if (label->accessibleDescription() != description)
            label->setAccessibleDescription(description);
    }
}

QWidget *MainWindow::lineLabel(int line) const
{
    return line == kLineB ? m_ui->lineBLabel : m_ui->lineALabel;
}

void MainWindow::showButtonState(LineButton &lineButton, bool allowed)
{
    lineButton.button->setEnabled(allowed);
    if (allowed != lineButton.showsFaded)
        return;
    QString glyph = lineButton.calls ? QStringLiteral("ON") : QStringLiteral("OFF");
    if (!allowed)
        glyph.prepend(QLatin1Char('n'));
    lineButton.button->setGlyph(glyphPicture(glyph));
    lineButton.showsFaded = !allowed;
}

bool MainWindow::lineInCall() const
{
    const DeviceRecord &record = m_adapter.record();
    return std::any_of(std::begin(record.stat), std::end(record.stat), inCall);
}

void MainWindow::onLineButtonPressed(const LineButton &lineButton)
{
    // The edits go to the pressed button's line, whichever line they show. An empty edit keeps what
    // the line has, so hanging up needs no party.
    const Party party{m_ui->partyNameEdit->text(), m_ui->partyNumberEdit->text()};
    qCDebug(lcUi) << (lineButton.calls ? "call on line" : "hang up on line") << lineName(lineButton.line);
    if (lineButton.calls)
        m_adapter.call(lineButton.line, party);
    else
        m_adapter.hangUp(lineButton.line, party);
}

void MainWindow::onLineLabelClicked(int line)
{
    qCDebug(lcUi) << "active line" << lineName(line);
    m_adapter.setActiveLine(line);
}
