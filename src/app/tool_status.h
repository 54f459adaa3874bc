// SPDX-License-Identifier: GPL-3.0-or-later
// `status`: each line's state as the adapter reports it, once or at every change.
#pragma once

#include "app/tool_command.h"
#include "app/tool_outcome.h"

class QIODevice;

namespace vestra7 {

class Adapter;
class ToolWaiter;
struct PresentAdapter;

// The product and version, then a line for each of the adapter's lines; the same as JSON details.
ToolOutcome statusOutcome(const Adapter &adapter);
// Standard output as `status --watch` looks at it.
struct StandardOutput
{
    int handle = -1;       // its file descriptor, when it has one
    bool terminal = false; // a terminal: the lines are redrawn in place, fitted to its width
};

// Why watching ended.
enum class WatchEnd { Asked, ReaderGone, AdapterGone };

// Prints the lines again at each change until a signal asks the command to end, the reader of
// standard output goes or the adapter does: on a terminal redrawn in place, otherwise a line per
// change, with --json a JSON object per line.
WatchEnd watchStatus(const ToolCommand &command, const PresentAdapter &target, const Adapter &adapter,
                     ToolWaiter &waiter, QIODevice &out, StandardOutput output);

} // namespace vestra7
