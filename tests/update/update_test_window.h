// Stand-ins around the update window for its tests: its modal prompts, and discovery's messages to it.
#pragma once

#include "ui/firmware_update_dialog.h"
#include "widgets/captioned_progress_bar.h"

#include "link/discovery_view.h"

#include <deque>
#include <vector>

// Answers the file dialog from a list and records each message box instead of waiting for a user.
class RecordedPrompts
{
public:
    struct Message
    {
        QMessageBox::Icon icon;
        QString text;
        bool ownedByWindow;
        // The window as it was while the box was open.
        CaptionedProgressBar::BarState barState;
        int barValue;
        bool actionsEnabled; // "Select file" or "Reset settings"
    };

    // Paths the dialog hands out in turn; an empty path is a cancelled dialog.
    std::deque<QString> files;
    std::vector<Message> messages;
    int dialogs = 0;
    bool dialogOwnedByWindow = false;

    UpdatePrompts prompts(FirmwareUpdateDialog &window);
};

// What discovery tells the main window about the adapter's identity, passed on to the update window
// as the main window does.
class UpdateWindowView final : public DiscoveryView
{
public:
    explicit UpdateWindowView(FirmwareUpdateDialog &window)
        : m_window(window)
    {
    }

    void Cont(bool) override {}
    void showIdentity(const QString &name, const QString &serial, const QString &version) override
    {
        m_window.setIdentity(name, serial, version);
    }
    void showTitle(const QString &) override {}
    void showAccessProblem(const QString &) override {}

private:
    FirmwareUpdateDialog &m_window;
};
