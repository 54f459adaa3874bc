// SPDX-License-Identifier: GPL-3.0-or-later
// The program assembled: the adapter, the main window and the update window, wired together.
#pragma once

#include "link/adapter.h"

#include <QString>

#include <memory>

namespace vestra7 {

class BackupKeeper;
class BackupPolicy;
class FirmwareUpdateDialog;
class LineStatusWindow;
class MainWindow;

class Application
{
public:
    // Creates the adapter, the main window, then the update window (hidden, alive for the whole run).
    // Needs a QApplication. The backups go under `backupRoot`, by default the user's application data.
    explicit Application(Adapter::BackendFactory makeBackend, const QString &backupRoot = {});
    // Stops the adapter's threads before the windows go, so none of them waits on a GUI thread that
    // no longer serves it.
    ~Application();

    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // Shows the main window and runs the message loop until it closes, or until the system asks the
    // program to end (SIGTERM, SIGINT, SIGHUP), which closes it as the user would.
    int exec();

    Adapter &adapter() { return m_adapter; }
    MainWindow &mainWindow() { return *m_mainWindow; }
    FirmwareUpdateDialog &updateDialog() { return *m_updateDialog; }
    LineStatusWindow &lineStatusWindow() { return *m_lineStatusWindow; }
    BackupKeeper &backupKeeper() { return *m_backupKeeper; }
    BackupPolicy &backupPolicy() { return *m_backupPolicy; }

private:
    Adapter m_adapter;
    std::unique_ptr<BackupPolicy> m_backupPolicy;
    std::unique_ptr<BackupKeeper> m_backupKeeper;
    std::unique_ptr<MainWindow> m_mainWindow;
    // A child of the main window, over which it is centred each time it is shown.
    FirmwareUpdateDialog *m_updateDialog;
    // A child of the main window too, alive for the whole run so that its plot holds the last minutes
    // when it is opened.
    LineStatusWindow *m_lineStatusWindow;
};

} // namespace vestra7
