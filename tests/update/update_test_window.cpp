// The recorded prompts.
#include "update_test_window.h"

#include <QFileDialog>

UpdatePrompts RecordedPrompts::prompts(FirmwareUpdateDialog &window)
{
    UpdatePrompts prompts;
    prompts.chooseFile = [this, &window](QFileDialog &open) {
        ++dialogs;
        dialogOwnedByWindow = open.parent() == &window;
        if (files.empty())
            return QString();
        QString path = files.front();
        files.pop_front();
        return path;
    };
    prompts.showMessage = [this, &window](QWidget *owner, QMessageBox::Icon icon, const QString &text) {
        messages.push_back({icon, text, owner == &window, window.pb->barState()});
    };
    return prompts;
}
