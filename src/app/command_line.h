// SPDX-License-Identifier: GPL-3.0-or-later
// What the program is asked to do on its command line.
#pragma once

#include "app/tool_command.h"

#include <QString>
#include <QStringList>

namespace vestra7 {

struct CommandLine
{
    // Run opens the window; RunTool runs `tool` without one.
    enum class Action { Run, RunTool, ShowHelp, ShowVersion, Refuse };

    Action action = Action::Run;
    bool verbose = false; // every logging category on
    QString tracePath;    // where every report in and out is logged; empty for none
    QString text;         // the help or version text, or why the command line was refused
    ToolCommand tool;
};

// `arguments` as the process got them, the program's name first. Needs no application object, so
// that --help and --version answer without a display; the texts are in the language of the
// translations installed, English without any.
CommandLine parseCommandLine(const QStringList &arguments);

// The program's version, and those of the libraries it runs on.
QString versionText();

} // namespace vestra7
