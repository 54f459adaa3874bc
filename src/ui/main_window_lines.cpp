// The main window's line control: the call and hang-up buttons of each line, and the line labels
// that choose the active line.
#include "ui/main_window.h"

#include "link/device_link.h"
#include "model/text_field.h"
#include "widgets/glyph_button.h"
#include "widgets/glyph_pictures.h"

#include "ui_main_window.h"

void MainWindow::showLineButtons()
{
    // Both call buttons look at the one number edit, which shows the active line's party.
    const bool numberGiven = m_ui->partyNumberEdit->text().size() > 2;
    for (LineButton &lineButton : m_lineButtons) {
        const unsigned state = m_link.record.stat[lineButton.line];
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

void MainWindow::onLineButtonPressed(const LineButton &lineButton)
{
    DeviceRecord &record = m_link.record;
    PartyEntry &party = record.subscriber[lineButton.line];
    // The edits go to the pressed button's line, whichever line they show. An empty edit keeps what
    // the line has, so hanging up needs no party.
    if (!m_ui->partyNameEdit->text().isEmpty())
        writeTextField(party.name, m_ui->partyNameEdit->text());
    if (!m_ui->partyNumberEdit->text().isEmpty())
        writeTextField(party.number, m_ui->partyNumberEdit->text());
    record.resp[lineButton.line] = lineButton.calls ? 1 : -1;
    save();
}

void MainWindow::onLineLabelClicked(int line)
{
    m_link.record.act_line = static_cast<std::uint8_t>(line);
    save();
}
