// The worker thread: sends every message to the adapter and has each refresh run on the GUI thread.
#pragma once

#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class GuiDispatcher;
class Mailbox;
class ReportWriter;

// A standard thread rather than a QThread: its start and join are synchronisation points that the
// thread sanitizer sees, where QThread's own ending is hidden inside Qt.
class Tthr final
{
public:
    struct Hooks
    {
        std::function<ReportWriter *()> writer;          // the claimed adapter, or null while none is
        std::function<void()> refresh;                   // run on the GUI thread
        std::function<void(const QString &)> sendFailed; // run on the GUI thread
    };

    Tthr(Mailbox &mailbox, GuiDispatcher &gui, Hooks hooks);
    ~Tthr();

    Tthr(const Tthr &) = delete;
    Tthr &operator=(const Tthr &) = delete;

    // Starts the loop at once. It keeps the program's normal priority: it sleeps while there is
    // nothing to send, and each report it writes waits for the bus, so a lower scheduling class would
    // only hold the adapter's traffic up behind whatever else the computer runs.
    void start();
    // Sets the terminate flag: the loop ends at its next check. Does not wait.
    void requestTerminate();
    // Waits up to `timeout` for the loop to end; true once it has.
    bool wait(std::chrono::milliseconds timeout);

private:
    void Execute();

    Mailbox &m_mailbox;
    GuiDispatcher &m_gui;
    Hooks m_hooks;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_finished = false;
};
