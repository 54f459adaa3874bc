// SPDX-License-Identifier: GPL-3.0-or-later
// The system's requests to end the program, turned into an orderly close on the GUI thread.
#pragma once

#include "app/signal_pipe.h"

#include <functional>

namespace vestra7 {

// While one exists, SIGTERM (the session ending, the system shutting down), SIGINT (Ctrl+C in a
// terminal) and SIGHUP (the terminal gone) call `onRequest` with the signal's number on the GUI
// thread instead of killing the process on the spot. One at a time; the actions they replaced come
// back when it goes.
class TerminationSignals final
{
public:
    explicit TerminationSignals(std::function<void(int signal)> onRequest);

private:
    SignalPipe m_pipe;
};

} // namespace vestra7
