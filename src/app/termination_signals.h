// SPDX-License-Identifier: GPL-3.0-or-later
// The system's requests to end the program, turned into an orderly close on the GUI thread.
#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace vestra7 {

// While one exists, SIGTERM (the session ending, the system shutting down), SIGINT (Ctrl+C in a
// terminal) and SIGHUP (the terminal gone) call `onRequest` with the signal's number on the GUI
// thread instead of killing the process on the spot. One at a time; the actions they replaced come
// back when it goes.
class TerminationSignals final
{
public:
    explicit TerminationSignals(std::function<void(int signal)> onRequest);
    ~TerminationSignals();

    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

private:
    struct Saved;
    std::unique_ptr<Saved> m_saved;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void(int signal)> m_onRequest;
};

} // namespace vestra7
