// SPDX-License-Identifier: GPL-3.0-or-later
// Runs functions on the GUI thread on behalf of other threads, with or without waiting for them.
#pragma once

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace vestra7 {

// The functions and their completion travel through a mutex of our own rather than inside Qt's
// events, so that every hand-over is a synchronisation point the thread sanitizer can see: Qt's
// internal locking is invisible to it. Qt only wakes the GUI thread up, by a queued signal that
// carries nothing; wake-ups asked for before the GUI thread gets to them are answered by one pass.
class GuiDispatcher final : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { Done, Failed, Abandoned };

    // Belongs to the thread that creates it, which must be the GUI thread.
    GuiDispatcher();
    ~GuiDispatcher() override;

    // Queues the function to run on the GUI thread and returns at once.
    void post(std::function<void()> task);

    // Runs the function on the GUI thread and waits until it has returned. Failed means it threw
    // (the exception is caught there and goes no further); Abandoned means shutdown() released the
    // wait, or came first, and the function may not run at all.
    Outcome runAndWait(std::function<void()> task);

    // Releases every waiting thread and drops functions not yet run; later calls do nothing.
    void shutdown();

    // Any thread that will queue nothing more: runUntilClosed() returns once what it queued has run.
    void close();
    // GUI thread: runs the functions queued, as they come, until close() or shutdown(). For a thread
    // on its way out whose last functions must run before the GUI thread goes on.
    void runUntilClosed();

signals:
    // Any thread: there are functions to run.
    void tasksWaiting(QPrivateSignal);

private:
    void runPending();

    struct Completion
    {
        bool done = false;
        bool failed = false;
    };
    struct Task
    {
        std::function<void()> function;
        std::shared_ptr<Completion> completion; // null for posted tasks
    };

    bool enqueue(Task task);

    std::atomic<bool> m_wakePosted{false};
    std::mutex m_mutex;
    std::condition_variable m_finished;
    std::condition_variable m_queued; // a function was queued, or the queue closed or shut down
    std::deque<Task> m_tasks;
    bool m_shutdown = false;
    bool m_closed = false;
};

} // namespace vestra7
