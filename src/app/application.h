// The program assembled: a device link, the firmware update, the main window and the update window,
// wired together.
#pragma once

#include "link/device_link.h"
#include "link/firmware_updater.h"
#include "link/link_update_port.h"

#include <memory>

class FirmwareUpdateDialog;
class Tfmain;

class Application
{
public:
    // Creates the firmware update, the main window, then the update window (hidden, alive for the
    // whole run), and wires them to the link. Needs a QApplication.
    explicit Application(DeviceLink::BackendFactory makeBackend);
    // Stops the link's threads before the windows go, so none of them waits on a GUI thread that no
    // longer serves it or calls into a window that is gone.
    ~Application();

    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // Shows the main window and runs the message loop until it closes, or until the system asks the
    // program to end (SIGTERM, SIGINT, SIGHUP), which closes it as the user would.
    int exec();

    DeviceLink &link() { return m_link; }
    FirmwareUpdater &updater() { return m_updater; }
    Tfmain &mainWindow() { return *m_fmain; }
    FirmwareUpdateDialog &updateDialog() { return *m_updateDialog; }

private:
    DeviceLink m_link;
    LinkUpdatePort m_updatePort;
    FirmwareUpdater m_updater; // outlives the windows that show it
    std::unique_ptr<Tfmain> m_fmain;
    // A child of the main window, over which it is centred each time it is shown.
    FirmwareUpdateDialog *m_updateDialog;
};
