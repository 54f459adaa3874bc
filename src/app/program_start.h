// SPDX-License-Identifier: GPL-3.0-or-later
// The program's start, shared by vestra7 and its demo: the command line, logging, the report trace,
// then the windows or a command without them.
#pragma once

#include "link/adapter.h"

#include <functional>
#include <memory>

namespace vestra7 {

// Where the program finds its devices, and what must live as long as they are used.
struct ProgramBackend
{
    Adapter::BackendFactory makeBackend;
    std::shared_ptr<void> keepAlive; // goes after the windows, before the application object
};

// What the devices are set up for: the windows, or a command (or the exporter) without them.
enum class ProgramUse { Windows, Command };

// Answers --help and --version without a display, and runs a command (list, backup...) on a core
// application, also without one; otherwise makes the application object, lets `prepare` set up the
// devices, and runs the windows. Returns the process's exit code.
int runProgram(int argc, char *argv[], const std::function<ProgramBackend(ProgramUse use)> &prepare);

} // namespace vestra7
