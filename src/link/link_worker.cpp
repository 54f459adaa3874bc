// SPDX-License-Identifier: GPL-3.0-or-later
// The worker's loop.
#include "link/link_worker.h"

#include "link/gui_dispatcher.h"
#include "link/mailbox.h"
#include "link/send_message.h"

namespace vestra7 {

LinkWorker::LinkWorker(Mailbox &mailbox, GuiDispatcher &gui, WriterSource writer, QObject *parent)
    : QObject(parent)
    , m_mailbox(mailbox)
    , m_gui(gui)
    , m_writer(std::move(writer))
{
}

LinkWorker::~LinkWorker()
{
    requestTerminate();
    if (m_thread.joinable())
        m_thread.join();
}

void LinkWorker::start()
{
    m_thread = std::thread([this] {
        run();
        const std::lock_guard lock(m_mutex);
        m_finished = true;
        m_ended.notify_all();
    });
}

void LinkWorker::requestTerminate()
{
    m_mailbox.stop();
}

bool LinkWorker::wait(std::chrono::milliseconds timeout)
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

void LinkWorker::run()
{
    // Sleeps until there is something to send instead of spinning: a posted request wakes it at once.
    while (m_mailbox.waitForWork()) {
        if (const std::optional<Request> request = m_mailbox.takeRequest()) {
            const SendOutcome outcome = sendMessage(*request, m_writer());
            m_mailbox.sendFinished(request->cmd, outcome.written);
            // Over to the GUI thread, where this object lives; the dispatcher drops it once shut down.
            if (!outcome.uninterrupted)
                m_gui.post([this, text = outcome.uninterrupted.error().message] { emit sendFailed(text); });
        }
    }
}

} // namespace vestra7
