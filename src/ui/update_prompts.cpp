// SPDX-License-Identifier: GPL-3.0-or-later
// The modal file dialog and message boxes of the update window.
#include "ui/update_prompts.h"

#include "ui/plain_text.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace vestra7 {

UpdatePrompts UpdatePrompts::modal()
{
    UpdatePrompts prompts;
    prompts.chooseFile = [](QFileDialog &open) {
        if (open.exec() != QDialog::Accepted || open.selectedFiles().isEmpty())
            return QString();
        return open.selectedFiles().constFirst();
    };
    prompts.showMessage = [](QWidget *owner, QMessageBox::Icon icon, const QString &text, const QString &detail) {
        // Captioned as the update window is.
        QMessageBox box(icon, QCoreApplication::translate("FirmwareUpdateDialog", "Update FW"), text, QMessageBox::Ok,
                        owner);
        // The file's and the adapter's words among them, shown as they are.
        box.setTextFormat(Qt::PlainText);
        box.setInformativeText(plainMarkup(detail));
        box.exec();
    };
    return prompts;
}

} // namespace vestra7
