// SPDX-License-Identifier: GPL-3.0-or-later
// Signal handlers that only write a byte into a pipe, which the GUI thread watches.
#include "app/termination_signals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace vestra7 {

namespace {

constexpr std::array kSignals = {SIGTERM, SIGINT, SIGHUP};

// Written from the handler, which may only make async-signal-safe calls.
int g_pipeWriteEnd = -1;

void onSignal(int signal)
{
    const int savedErrno = errno;
    // The signal numbers asked for fit a byte.
    const auto byte = static_cast<char>(signal);
    // A full pipe already holds a request: losing this byte loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(g_pipeWriteEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

struct TerminationSignals::Saved
{
    int pipe[2] = {-1, -1};
    std::array<struct sigaction, kSignals.size()> actions = {};
};

TerminationSignals::TerminationSignals(std::function<void(int signal)> onRequest)
    : m_saved(std::make_unique<Saved>())
    , m_onRequest(std::move(onRequest))
{
    if (::pipe2(m_saved->pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // without a pipe the signals keep their default actions
    g_pipeWriteEnd = m_saved->pipe[1];
    m_notifier = std::make_unique<QSocketNotifier>(m_saved->pipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
        char bytes[16];
        int signal = 0;
        for (ssize_t count = 0; (count = ::read(m_saved->pipe[0], bytes, sizeof bytes)) > 0;)
            signal = bytes[count - 1];
        // Several requests at once are one; the last one names the signal.
        if (signal != 0)
            m_onRequest(signal);
    });

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &action, &m_saved->actions[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (m_saved->pipe[0] < 0)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &m_saved->actions[i], nullptr);
    m_notifier.reset();
    g_pipeWriteEnd = -1;
    ::close(m_saved->pipe[0]);
    ::close(m_saved->pipe[1]);
}

} // namespace vestra7
