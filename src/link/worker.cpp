// The worker's loop.
#include "link/worker.h"

#include "link/gui_dispatcher.h"
#include "link/mailbox.h"
#include "link/send_message.h"

Tthr::Tthr(Mailbox &mailbox, GuiDispatcher &gui, Hooks hooks)
    : m_mailbox(mailbox)
    , m_gui(gui)
    , m_hooks(std::move(hooks))
{
}

Tthr::~Tthr()
{
    requestTerminate();
    if (m_thread.joinable())
        m_thread.join();
}

void Tthr::start()
{
    m_thread = std::thread([this] {
        Execute();
        const std::lock_guard lock(m_mutex);
        m_finished = true;
        m_ended.notify_all();
    });
}

void Tthr::requestTerminate()
{
    m_mailbox.stop();
}

bool Tthr::wait(std::chrono::milliseconds timeout)
{
    if (!m_thread.joinable())
        return true;
    {
        std::unique_lock lock(m_mutex);
        if (!m_ended.wait_for(lock, timeout, [this] { return m_finished; }))
            return false;
    }
    m_thread.join();
    return true;
}

void Tthr::Execute()
{
    // Sleeps until there is something to do instead of spinning: a posted request or a pending
    // refresh wakes it at once.
    while (m_mailbox.waitForWork()) {
        if (const std::optional<Request> request = m_mailbox.takeRequest()) {
            const SendOutcome outcome = send_message(*request, m_hooks.writer());
            m_mailbox.sendFinished(request->cmd, outcome.written);
            if (outcome.error)
                m_gui.post([sendFailed = m_hooks.sendFailed, text = *outcome.error] { sendFailed(text); });
        }
        // A failure inside the refresh stays on the GUI thread; the worker goes on serving the slot.
        if (m_mailbox.takeRefresh())
            m_gui.runAndWait(m_hooks.refresh);
    }
}
