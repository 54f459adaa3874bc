// SPDX-License-Identifier: GPL-3.0-or-later
// A one-shot timer behind an interface, so that a hold-to-repeat control can be driven by a test.
#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

namespace vestra7 {

class RepeatTimer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Raises timeout() once, after `delay`; starting again replaces the pending timeout.
    virtual void start(std::chrono::milliseconds delay) = 0;
    // Drops the pending timeout, if any.
    virtual void stop() = 0;

signals:
    void timeout();
};

// The real thing: a single-shot QTimer on the calling thread's event loop.
class QtRepeatTimer final : public RepeatTimer
{
    Q_OBJECT

public:
    explicit QtRepeatTimer(QObject *parent = nullptr);
    void start(std::chrono::milliseconds delay) override;
    void stop() override;

private:
    QTimer m_timer;
};

} // namespace vestra7
