// SPDX-License-Identifier: GPL-3.0-or-later
// Signal handlers that only write a byte into a pipe, which the GUI thread watches.
#include "app/signal_pipe.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace vestra7 {

namespace {

// Each signal's pipe, its writing end plus one (0 for none), read from the handler, which may only
// make async-signal-safe calls.
volatile std::sig_atomic_t g_pipeWriteEnds[NSIG] = {};

void writeSignalByte(int signal)
{
    const int savedErrno = errno;
    // Signal numbers fit a byte.
    const auto byte = static_cast<char>(signal);
    // A full pipe already holds a request: losing this byte loses nothing.
    if (const int end = g_pipeWriteEnds[signal] - 1; end >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(end, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

struct SignalPipe::Saved
{
    int pipe[2] = {-1, -1};
    std::vector<std::pair<int, struct sigaction>> actions;
};

SignalPipe::SignalPipe(std::initializer_list<int> signalNumbers, std::function<void(int signal)> onSignal)
    : m_saved(std::make_unique<Saved>())
    , m_onSignal(std::move(onSignal))
{
    if (::pipe2(m_saved->pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // without a pipe the signals keep their default actions
    m_notifier = std::make_unique<QSocketNotifier>(m_saved->pipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
        char bytes[16];
        int signal = 0;
        for (ssize_t count = 0; (count = ::read(m_saved->pipe[0], bytes, sizeof bytes)) > 0;)
            signal = bytes[count - 1];
        // Several at once are one; the last one names the signal.
        if (signal != 0)
            m_onSignal(signal);
    });

    struct sigaction action = {};
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : signalNumbers) {
        g_pipeWriteEnds[signal] = m_saved->pipe[1] + 1;
        struct sigaction saved = {};
        sigaction(signal, &action, &saved);
        m_saved->actions.emplace_back(signal, saved);
    }
}

SignalPipe::~SignalPipe()
{
    if (m_saved->pipe[0] < 0)
        return;
    for (const auto &[signal, action] : m_saved->actions) {
        sigaction(signal, &action, nullptr);
        g_pipeWriteEnds[signal] = 0;
    }
    m_notifier.reset();
    ::close(m_saved->pipe[0]);
    ::close(m_saved->pipe[1]);
}

} // namespace vestra7
