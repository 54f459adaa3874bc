// SPDX-License-Identifier: GPL-3.0-or-later
// Hand-over of work from other threads to the GUI thread.
#include "link/gui_dispatcher.h"

#include <QThread>

namespace vestra7 {

namespace {

// Every dispatcher wakes the same GUI thread, through Qt's event queue and the lock Qt keeps for it,
// which the thread sanitizer cannot see. Each adapter's reading thread has a dispatcher of its own,
// so wake-ups from several threads take this lock too, and the order of their posts is visible.
std::mutex &wakeUpMutex()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace

GuiDispatcher::GuiDispatcher()
{
    connect(this, &GuiDispatcher::tasksWaiting, this, &GuiDispatcher::runPending, Qt::QueuedConnection);
}

GuiDispatcher::~GuiDispatcher()
{
    shutdown();
}

bool GuiDispatcher::enqueue(Task task)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_shutdown)
            return false;
        m_tasks.push_back(std::move(task));
    }
    m_queued.notify_all();
    if (!m_wakePosted.exchange(true)) {
        const std::lock_guard lock(wakeUpMutex());
        emit tasksWaiting(QPrivateSignal());
    }
    return true;
}

void GuiDispatcher::post(std::function<void()> task)
{
    enqueue({std::move(task), nullptr});
}

GuiDispatcher::Outcome GuiDispatcher::runAndWait(std::function<void()> task)
{
    if (QThread::currentThread() == thread()) {
        try {
            task();
            return Outcome::Done;
        } catch (...) {
            return Outcome::Failed;
        }
    }
    auto completion = std::make_shared<Completion>();
    if (!enqueue({std::move(task), completion}))
        return Outcome::Abandoned;
    std::unique_lock lock(m_mutex);
    m_finished.wait(lock, [&] { return completion->done || m_shutdown; });
    if (!completion->done)
        return Outcome::Abandoned;
    return completion->failed ? Outcome::Failed : Outcome::Done;
}

void GuiDispatcher::shutdown()
{
    {
        const std::lock_guard lock(m_mutex);
        m_shutdown = true;
        m_tasks.clear();
    }
    m_finished.notify_all();
    m_queued.notify_all();
}

void GuiDispatcher::close()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_queued.notify_all();
}

void GuiDispatcher::runUntilClosed()
{
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            m_queued.wait(lock, [this] { return !m_tasks.empty() || m_closed || m_shutdown; });
            if (m_tasks.empty())
                return;
        }
        runPending();
    }
}

void GuiDispatcher::runPending()
{
    // Cleared first: a function queued while these run asks for another pass.
    m_wakePosted = false;
    for (;;) {
        Task task;
        {
            const std::lock_guard lock(m_mutex);
            if (m_tasks.empty())
                return;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        bool failed = false;
        try {
            task.function();
        } catch (...) {
            failed = true;
        }
        if (task.completion) {
            {
                const std::lock_guard lock(m_mutex);
                task.completion->done = true;
                task.completion->failed = failed;
            }
            m_finished.notify_all();
        }
    }
}

} // namespace vestra7
