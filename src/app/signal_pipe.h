// SPDX-License-Identifier: GPL-3.0-or-later
// Signals turned into calls on the GUI thread, through a pipe that their handler writes into.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace vestra7 {

// While one exists, each of its signals calls `onSignal` with the signal's number on the thread that
// made it, from its event loop, instead of taking its default action. A signal belongs to one at a
// time; the actions it replaced come back when it goes.
class SignalPipe final
{
public:
    SignalPipe(std::initializer_list<int> signalNumbers, std::function<void(int signal)> onSignal);
    ~SignalPipe();

    SignalPipe(const SignalPipe &) = delete;
    SignalPipe &operator=(const SignalPipe &) = delete;

private:
    struct Saved;
    std::unique_ptr<Saved> m_saved;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void(int signal)> m_onSignal;
};

} // namespace vestra7
