// SPDX-License-Identifier: GPL-3.0-or-later
// The update window's file dialog and message boxes, replaceable where a modal box would wait for a user.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QFileDialog;
class QWidget;

namespace vestra7 {

struct UpdatePrompts
{
    // Runs the file-open dialog; the chosen file's path, or an empty text when the user cancelled.
    std::function<QString(QFileDialog &open)> chooseFile;
    // Shows a message box captioned "Update FW" with an OK button, owned by `owner`, and returns once
    // it has been dismissed. A `detail`, when there is one, stands below the text.
    std::function<void(QWidget *owner, QMessageBox::Icon icon, const QString &text, const QString &detail)> showMessage;
    // Asks `question` with "OK" and "Cancel" before the window replaces what the adapter holds; true
    // for "OK"; `cancelFirst` makes "Cancel" the default. When empty, the window asks as the main
    // window does, through the program's backups.
    std::function<bool(QWidget *owner, const QString &question, bool cancelFirst)> confirm;

    // The real, modal ones.
    static UpdatePrompts modal();
};

} // namespace vestra7
