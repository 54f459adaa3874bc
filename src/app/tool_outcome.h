// SPDX-License-Identifier: GPL-3.0-or-later
// What a command came to on one adapter, and the steps commands are made of.
#pragma once

#include "app/tool_command.h"
#include "model/result.h"

#include <QJsonObject>
#include <QString>

namespace vestra7 {

struct ToolOutcome
{
    ToolExit exit = ToolExit::Done;
    QString message;
    QString file;
    QJsonObject details = {}; // more for --json: the lines of `status`
    QString backup = {};      // the backup taken first (or, in a dry run, its folder)
    // The message is printed as it is: its outside texts were escaped where it was made, and its line
    // breaks are its own (the lines of `status`). Any other message is escaped as a whole.
    bool printable = false;
};

// A step of a command: done, or the outcome that ends the command on this adapter.
using ToolStep = Result<void, ToolOutcome>;

struct PresentAdapter;

// What a signal that ended the command left behind on the adapter: 128 and the signal's number, and
// whether it is left in its boot loader.
ToolOutcome interruptedOutcome(const ToolCommand &command, const PresentAdapter &target, bool inBootLoader, int signal,
                               const QString &file);

} // namespace vestra7
