// SPDX-License-Identifier: GPL-3.0-or-later
// A fixed call that any thread may ask the GUI thread to make.
#pragma once

#include <QObject>

#include <atomic>
#include <functional>

// Whatever the call needs, the poster hands over under a lock of its own, never inside the Qt
// event: Qt's internal locking is invisible to the thread sanitizer, so data carried in an event
// from another thread would look like a race to it. The queued call itself is made by Qt, by name,
// so that nothing of ours crosses threads inside it. Posts made before the call runs are answered
// by one call: the call must take everything that is waiting.
class QueuedCall final : public QObject
{
    Q_OBJECT

public:
    // Create it on the thread that is to make the call, and destroy it there once no thread posts.
    explicit QueuedCall(std::function<void()> call, QObject *parent = nullptr);

    // Any thread.
    void post();

private:
    Q_INVOKABLE void take();

    std::function<void()> m_call;
    std::atomic<bool> m_posted{false};
};
