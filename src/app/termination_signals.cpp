// SPDX-License-Identifier: GPL-3.0-or-later
// The signals that ask the program to end.
#include "app/termination_signals.h"

#include <signal.h>

namespace vestra7 {

TerminationSignals::TerminationSignals(std::function<void(int signal)> onRequest)
    : m_pipe({SIGTERM, SIGINT, SIGHUP}, std::move(onRequest))
{
}

} // namespace vestra7
