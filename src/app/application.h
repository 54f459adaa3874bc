// The program assembled: a device link, the main window and the update window, wired together.
#pragma once

#include "link/device_link.h"

#include <memory>

class FirmwareUpdateDialog;
class Tfmain;

class Application
{
public:
    // Creates the main window, then the update window (hidden, alive for the whole run), and wires
    // them to the link. Needs a QApplication.
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
    Tfmain &mainWindow() { return *m_fmain; }
    FirmwareUpdateDialog &updateWindow() { return *m_fu; }

private:
    DeviceLink m_link;
    std::unique_ptr<Tfmain> m_fmain;
    FirmwareUpdateDialog *m_fu; // a child of the main window, over which it is centred each time it is shown
};
