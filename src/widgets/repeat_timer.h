// SPDX-License-Identifier: GPL-3.0-or-later
// A one-shot timer behind an interface, so that a hold-to-repeat control can be driven by a test.
#pragma once

#include <QTimer>

#include <chrono>
#include <functional>

class RepeatTimer
{
public:
    virtual ~RepeatTimer() = default;
    // Calls onTimeout once, after `delay`; starting again replaces the pending call.
    virtual void start(std::chrono::milliseconds delay, std::function<void()> onTimeout) = 0;
    // Drops the pending call, if any.
    virtual void stop() = 0;
};

// The real thing: a single-shot QTimer on the calling thread's event loop.
class QtRepeatTimer final : public RepeatTimer
{
public:
    QtRepeatTimer();
    void start(std::chrono::milliseconds delay, std::function<void()> onTimeout) override;
    void stop() override;

private:
    QTimer m_timer;
    std::function<void()> m_onTimeout;
};
