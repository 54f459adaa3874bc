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
    std::deque<Task> m_tasks;
    bool m_shutdown = false;
};

} // namespace vestra7
