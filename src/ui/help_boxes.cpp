// SPDX-License-Identifier: GPL-3.0-or-later
// The boxes of "About", "About vestra7" and "Keyboard shortcuts".
#include "ui/help_boxes.h"

#include "ports/adapter_port.h"
#include "ui/message_boxes.h"

#include <QCoreApplication>

namespace vestra7 {

namespace {

QString keyText(const QKeySequence &key)
{
    return key.toString(QKeySequence::NativeText).toHtmlEscaped();
}

QString shortcutRow(const QString &keys, const QString &what)
{
    return QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(keys, what.toHtmlEscaped());
}

} // namespace

void showAdapterInformation(QWidget *owner, const AdapterIdentity &identity)
{
    // One pass over the placeholders, so that an identity holding "%1" is shown as it is.
    informationBox(owner, QCoreApplication::translate("HelpBoxes", "Information"),
                   QCoreApplication::translate("HelpBoxes",
                                               "Model: %1\r\nSerial: %2\r\nSoftware version: %3\r\nProgram version: %4")
                       .arg(identity.product, identity.serial, identity.version, QStringLiteral(VESTRA7_VERSION)));
}

void showAboutProgram(QWidget *owner)
{
    informationBox(owner, QCoreApplication::translate("HelpBoxes", "About vestra7"),
                   QCoreApplication::translate(
                       "HelpBoxes",
                       "vestra7 %1\nConfiguration and control tool for the VESTRA7 cellular voice adapter\n\n"
                       "Qt %2\nLicence: GPL-3.0-or-later")
                       .arg(QStringLiteral(VESTRA7_VERSION), QString::fromLatin1(qVersion())));
}

void showKeyboardShortcuts(QWidget *owner, const std::vector<std::pair<QKeySequence, QString>> &keys)
{
    QString rows;
    for (const auto &[key, what] : keys)
        rows += shortcutRow(keyText(key), what);
    rows += shortcutRow(keyText(QKeySequence(Qt::Key_Escape)),
                        QCoreApplication::translate("HelpBoxes", "Close the settings panel"));
    rows += shortcutRow(keyText(QKeySequence(Qt::Key_F10)), QCoreApplication::translate("HelpBoxes", "Open the menu"));
    rows += shortcutRow(QCoreApplication::translate("HelpBoxes", "Alt+underlined letter"),
                        QCoreApplication::translate("HelpBoxes", "Open that menu entry"));
    informationBox(owner, QCoreApplication::translate("HelpBoxes", "Keyboard shortcuts"),
                   QStringLiteral("<table cellspacing=\"4\">%1</table>").arg(rows), Qt::RichText);
}

} // namespace vestra7
