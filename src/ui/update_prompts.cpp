// The modal file dialog and message boxes of the update window.
#include "ui/update_prompts.h"

#include <QFileDialog>

UpdatePrompts UpdatePrompts::modal()
{
    UpdatePrompts prompts;
    prompts.chooseFile = [](QFileDialog &open) {
        if (open.exec() != QDialog::Accepted || open.selectedFiles().isEmpty())
            return QString();
        return open.selectedFiles().constFirst();
    };
    prompts.showMessage = [](QWidget *owner, QMessageBox::Icon icon, const QString &text) {
        QMessageBox box(icon, QStringLiteral("Update FW"), text, QMessageBox::Ok, owner);
        box.exec();
    };
    return prompts;
}
