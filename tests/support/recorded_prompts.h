// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for the update window's modal prompts: its file dialog and its message boxes.
#pragma once

#include "ui/firmware_update_dialog.h"
#include "widgets/captioned_progress_bar.h"

#include <deque>
#include <vector>

namespace vestra7 {

// Answers the file dialog from a list and records each message box instead of waiting for a user.
class RecordedPrompts
{
public:
    struct Message
    {
        QMessageBox::Icon icon;
        QString text;
        QString detail;
        bool ownedByWindow;
        // The window as it was while the box was open.
        CaptionedProgressBar::BarState barState;
        int barValue;
        bool actionsEnabled; // "Select file" or "Reset settings"
        QString barCaption;
    };

    // Paths the dialog hands out in turn; an empty path is a cancelled dialog.
    std::deque<QString> files;
    std::vector<Message> messages;
    // The questions asked, each answered with `confirmAnswer`.
    QStringList questions;
    // For each question, whether "Cancel" was its default.
    QList<bool> cancelFirstAnswers;
    bool confirmAnswer = true;
    int dialogs = 0;
    bool dialogOwnedByWindow = false;

    UpdatePrompts prompts(FirmwareUpdateDialog &window);
};

} // namespace vestra7
