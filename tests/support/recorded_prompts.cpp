// SPDX-License-Identifier: GPL-3.0-or-later
// The recorded prompts of the update window.
#include "support/recorded_prompts.h"

#include "support/update_dialog_controls.h"

#include <QFileDialog>
#include <QLabel>
#include <QPushButton>

namespace vestra7 {

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
    prompts.showMessage = [this, &window](QWidget *owner, QMessageBox::Icon icon, const QString &text,
                                          const QString &detail) {
        const UpdateDialogControls controls(window);
        messages.push_back({icon, text, detail, owner == &window, controls.progressBar->barState(),
                            controls.progressBar->value(),
                            controls.selectFileButton->isEnabled() || controls.resetSettingsButton->isEnabled(),
                            controls.progressBar->captionLabel()->text()});
    };
    prompts.confirm = [this](QWidget *, const QString &question, bool cancelFirst) {
        questions << question;
        cancelFirstAnswers << cancelFirst;
        return confirmAnswer;
    };
    return prompts;
}

} // namespace vestra7
