// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's line control: the call and hang-up buttons of each line, and the line labels
// that choose the active line.
#include "ui/main_window.h"

#include "link/adapter_port.h"
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
        const unsigned state = record.stat[lineButton.line];
        showButtonState(lineButton, lineButton.calls ? state <= 1 && numberGiven : state >= 3);
    }
}

void MainWindow::showButtonState(LineButton &lineButton, bool allowed)
{
    lineButton.button->setEnabled(allowed);
    if (allowed != lineButton.showsFaded)
        return;
    QString glyph = lineButton.calls ? QStringLiteral("ON") : QStringLiteral("OFF");
    if (!allowed)
        glyph.prepend(QLatin1Char('n'));
    lineButton.button->loadGlyph(glyphPicture(glyph));
    lineButton.button->Repaint();
    lineButton.showsFaded = !allowed;
}

bool MainWindow::lineInCall() const
{
    const DeviceRecord &record = m_adapter.record();
    return std::any_of(std::begin(record.stat), std::end(record.stat), [](std::uint8_t state) { return state >= 3; });
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
