// SPDX-License-Identifier: GPL-3.0-or-later
// The worker thread: writes every message to the adapter, one at a time, from the request slot.
#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vestra7 {

class GuiDispatcher;
class Mailbox;
class ReportWriter;

// A standard thread rather than a QThread: its start and join are synchronisation points that the
// thread sanitizer sees, where QThread's own ending is hidden inside Qt. The object itself belongs
// to the GUI thread, where it announces what went wrong.
class LinkWorker final : public QObject
{
    Q_OBJECT

public:
    // The claimed adapter, or null while none is; asked on the worker thread before each message.
    using WriterSource = std::function<ReportWriter *()>;

    LinkWorker(Mailbox &mailbox, GuiDispatcher &gui, WriterSource writer, QObject *parent = nullptr);
    ~LinkWorker() override;

    // Starts the loop at once. It keeps the program's normal priority: it sleeps while there is
    // nothing to send, and each report it writes waits for the bus, so a lower scheduling class would
    // only hold the adapter's traffic up behind whatever else the computer runs.
    void start();
    // Asks the loop to end at its next check. Does not wait.
    void requestTerminate();
    // Waits up to `timeout` for the loop to end; true once it has.
    bool wait(std::chrono::milliseconds timeout);

signals:
    // On the GUI thread: a message could not be written; `text` is the system's words for it.
    void sendFailed(const QString &text);

private:
    void run();

    Mailbox &m_mailbox;
    GuiDispatcher &m_gui;
    const WriterSource m_writer;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_finished = false;
};

} // namespace vestra7
