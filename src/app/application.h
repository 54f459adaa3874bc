// Builds the program's windows around a device link and runs them until the main window closes.
#pragma once

#include "link/device_link.h"

// Creates the main window, then the update window (hidden, alive for the whole run), wires them to
// the link, shows the main window and runs the message loop. Needs a QApplication.
int runApplication(DeviceLink::BackendFactory makeBackend);
