// SPDX-License-Identifier: GPL-3.0-or-later
// The reading thread of a claimed device: it reads input reports and hands them to the GUI thread,
// waiting until the GUI thread has handled them. Reports that belong together (a message's frames)
// can go over in one hand-over, so that the GUI thread wakes once per message rather than once per
// report; they are handled one after another, in order, as before.
#pragma once

#include "link/hid_backend.h"
#include "link/gui_dispatcher.h"

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
    // Runs on the reading thread for each report (the bytes after the report ID): true when the
    // report ends a group, which then goes to the GUI thread at once with the reports read before it.
    using EndsGroup = std::function<bool(std::span<const std::uint8_t> data)>;

    // How long one read waits for a report, and how long a failed read waits before the next try.
    static constexpr int kReadSliceMs = 100;
    static constexpr int kRetryDelayMs = 100;
    // A group whose end does not come goes over once no report has come for this long, or once it
    // holds this many reports.
    static constexpr int kGroupGapMs = 20;
    static constexpr std::size_t kMaxGroup = 64;

    // Create it on the GUI thread; the reading starts at once. `reportLength` counts the report ID.
    // Without `endsGroup` every report goes over on its own.
    ReportReader(ConnectionSource source, std::size_t reportLength, Deliver deliver, EndsGroup endsGroup = {});
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
    void handOver(std::vector<std::vector<std::uint8_t>> &group);
    void deliver(const std::vector<std::vector<std::uint8_t>> &reports);
    bool waitForStop(int milliseconds);

    const ConnectionSource m_source;
    const std::size_t m_reportLength;
    const Deliver m_deliver;
    const EndsGroup m_endsGroup;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    bool m_finished = false;

    GuiDispatcher m_gui;
    std::thread m_thread; // last: starts once everything above exists
};
