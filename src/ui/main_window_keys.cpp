// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's keyboard: keys for the call and hang-up buttons and for the active line, F10 for
// the menu, and the list of every shortcut.
#include "ui/main_window.h"

#include "widgets/glyph_button.h"

#include "ui_main_window.h"

#include <QMenu>
#include <QShortcut>

#include <algorithm>

namespace {

// Ctrl and the line's digit calls on that line, with Shift as well it hangs up. Neither the edits nor
// the lists use Ctrl with a digit.
QKeySequence lineButtonKey(int line, bool calls)
{
    const Qt::KeyboardModifiers modifiers = calls ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier;
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(Qt::Key_1 + line)));
}

QString keyText(const QKeySequence &key)
{
    return key.toString(QKeySequence::NativeText).toHtmlEscaped();
}

QString shortcutRow(const QString &keys, const QString &what)
{
    return QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(keys, what.toHtmlEscaped());
}

QString withoutMnemonic(QString text)
{
    return text.remove(QLatin1Char('&'));
}

} // namespace

QKeySequence MainWindow::activeLineKey(int line)
{
    // Alt and the line's digit, beside Ctrl and the digit that calls on it. Menu mnemonics are letters.
    return QKeySequence(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(Qt::Key_1 + line)));
}

void MainWindow::connectKeys()
{
    for (const LineButton &lineButton : m_lineButtons) {
        // The key presses the button as the mouse does, so it does nothing while the button is disabled.
        connect(new QShortcut(lineButtonKey(lineButton.line, lineButton.calls), this), &QShortcut::activated,
                lineButton.button, &GlyphButton::press);
    }
    for (const int line : {kLineA, kLineB}) {
        // As a click on the line's label: nothing while the label is disabled.
        connect(new QShortcut(activeLineKey(line), this), &QShortcut::activated, this, [this, line] {
            if (lineLabel(line)->isEnabled())
                onLineLabelClicked(line);
        });
    }
    showKeysInToolTips();
    // Qt's menu bar has no F10 of its own. It opens the first menu that can be opened: "File", or
    // "Help" while no adapter is connected.
    connect(new QShortcut(Qt::Key_F10, this), &QShortcut::activated, this, [this] {
        const QList<QAction *> entries = m_ui->mainMenu->actions();
        const auto usable = std::find_if(entries.begin(), entries.end(),
                                         [](const QAction *entry) { return entry->menu() && entry->isEnabled(); });
        if (usable != entries.end())
            m_ui->mainMenu->setActiveAction(*usable);
    });
}

void MainWindow::showKeysInToolTips()
{
    for (const LineButton &lineButton : m_lineButtons) {
        const QKeySequence key = lineButtonKey(lineButton.line, lineButton.calls);
        lineButton.button->setToolTip(
            tr("%1 (%2)").arg(lineButton.button->accessibleName(), key.toString(QKeySequence::NativeText)));
    }
}

void MainWindow::onShowKeyboardShortcuts()
{
    QString rows;
    for (const QAction *action :
         {m_ui->saveToFileAction, m_ui->loadFromFileAction, m_ui->closeAction, m_ui->aboutAction})
        rows += shortcutRow(keyText(action->shortcut()), withoutMnemonic(action->text()));
    if (const auto *lineStatus = findChild<QAction *>(QStringLiteral("lineStatusAction")))
        rows += shortcutRow(keyText(lineStatus->shortcut()), withoutMnemonic(lineStatus->text()));
    for (const LineButton &lineButton : m_lineButtons)
        rows += shortcutRow(keyText(lineButtonKey(lineButton.line, lineButton.calls)),
                            lineButton.button->accessibleName());
    rows += shortcutRow(keyText(activeLineKey(kLineA)), tr("Make line A the active line"));
    rows += shortcutRow(keyText(activeLineKey(kLineB)), tr("Make line B the active line"));
    rows += shortcutRow(keyText(QKeySequence(Qt::Key_Escape)), tr("Close the settings panel"));
    rows += shortcutRow(keyText(QKeySequence(Qt::Key_F10)), tr("Open the menu"));
    rows += shortcutRow(tr("Alt+underlined letter"), tr("Open that menu entry"));
    informationBox(this, tr("Keyboard shortcuts"), QStringLiteral("<table cellspacing=\"4\">%1</table>").arg(rows));
}
