// SPDX-License-Identifier: GPL-3.0-or-later
// Hand-over of work from other threads to the GUI thread.
#include "link/gui_dispatcher.h"

#include <QThread>

GuiDispatcher::GuiDispatcher()
    : m_wake([this] { runPending(); })
{
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
    m_wake.post();
    return true;
}

void GuiDispatcher::post(std::function<void()> task)
{
    enqueue({std::move(task), nullptr});
}

GuiDispatcher::Outcome GuiDispatcher::runAndWait(std::function<void()> task)
{
    if (QThread::currentThread() == m_wake.thread()) {
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
}

void GuiDispatcher::runPending()
{
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
