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
// Prints the lines again at each change until a signal asks the command to end or the adapter goes:
// on a terminal redrawn in place, otherwise a line per change, with --json a JSON object per line.
void watchStatus(const ToolCommand &command, const PresentAdapter &target, const Adapter &adapter, ToolWaiter &waiter,
                 QIODevice &out, bool terminal);

} // namespace vestra7
