// The reading thread of a claimed device: it reads input reports one at a time and hands each to
// the GUI thread, waiting until the GUI thread has handled it.
#pragma once

#include "link/hid_backend.h"
#include "link/queued_call.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

class ReportReader
{
public:
    // The device's open connection, or null once the device is gone.
    using ConnectionSource = std::function<std::shared_ptr<HidConnection>()>;
    // Runs on the GUI thread for each report: the report ID, then the bytes after it.
    using Deliver = std::function<void(std::uint8_t reportId, std::span<const std::uint8_t> data)>;

    // How long one read waits for a report, and how long a failed read waits before the next try.
    static constexpr int kReadSliceMs = 100;
    static constexpr int kRetryDelayMs = 100;

    // Create it on the GUI thread; the reading starts at once. `reportLength` counts the report ID.
    ReportReader(ConnectionSource source, std::size_t reportLength, Deliver deliver);
    ~ReportReader();

    ReportReader(const ReportReader &) = delete;
    ReportReader &operator=(const ReportReader &) = delete;

    // Asks the thread to end, also when a report waits for the GUI thread, which need not run any
    // more; returns at once.
    void requestStop();
    // Asks, then waits for the thread to end: at most one read slice. Not from the reading thread.
    void stop();
    // True once the thread has ended: stopped, or its device found gone.
    bool hasFinished() const;

private:
    void run();
    void handOver(std::span<const std::uint8_t> report);
    void deliverPending();
    bool waitForStop(int milliseconds);

    const ConnectionSource m_source;
    const std::size_t m_reportLength;
    const Deliver m_deliver;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    bool m_finished = false;
    bool m_pendingReady = false; // a report waits for the GUI thread
    std::vector<std::uint8_t> m_pending;

    QueuedCall m_deliverCall;
    std::thread m_thread; // last: starts once everything above exists
};
