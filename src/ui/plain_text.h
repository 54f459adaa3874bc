// SPDX-License-Identifier: GPL-3.0-or-later
// Texts from outside (a device's, a file's, another program's) in the windows: shown as they are,
// never taken for markup. Qt takes text that looks like markup for rich text unless told otherwise.
#pragma once

#include <QString>

class QLabel;

namespace vestra7 {

// The label shows its text as it is, whatever it looks like.
void showPlainText(QLabel *label);
// For what takes no text format (a tool tip, a message box's informative text): the text itself
// where Qt would show it as it is, else markup that shows it as it is.
QString plainMarkup(const QString &text);
// A window title that shows the text as it is: Qt reads "[*]" in a title as the place of its
// modification mark.
QString plainWindowTitle(const QString &text);

} // namespace vestra7
