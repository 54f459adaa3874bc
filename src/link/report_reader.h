// SPDX-License-Identifier: GPL-3.0-or-later
// The reading thread of a claimed device: it reads input reports and hands them to the GUI thread,
// waiting until the GUI thread has handled them. Reports that belong together (a message's frames)
// can go over in one hand-over, so that the GUI thread wakes once per message rather than once per
// report; they are handled one after another, in order, as before.
#pragma once

#include "link/gui_dispatcher.h"
#include "link/hid_backend.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace vestra7 {

// Where the reports go, on the GUI thread. A plain virtual call rather than a signal of the reader:
// the reader is no QObject, since it lives on two threads, and its one receiver is fixed for life.
class ReportSink
{
public:
    // Each report: the report ID, then the bytes after it.
    virtual void reportRead(std::uint8_t reportId, std::span<const std::uint8_t> data) = 0;

protected:
    ~ReportSink() = default;
};

class ReportReader
{
public:
    // The device's open connection, or null once the device is gone.
    using ConnectionSource = std::function<std::shared_ptr<HidConnection>()>;
    // Runs on the reading thread for each report (the bytes after the report ID): true when the
    // report ends a group, which then goes to the GUI thread at once with the reports read before it.
    // A plain function: a rule of the wire, with no state to carry, called for every report.
    using GroupEnd = bool (*)(std::span<const std::uint8_t> data);

    // How long one read waits for a report, and how long a failed read waits before the next try.
    static constexpr int kReadSliceMs = 100;
    static constexpr int kRetryDelayMs = 100;
    // A group whose end does not come goes over once no report has come for this long, or once it
    // holds this many reports.
    static constexpr int kGroupGapMs = 20;
    static constexpr std::size_t kMaxGroup = 64;

    // Create it on the GUI thread; the reading starts at once. `reportLength` counts the report ID.
    // Without `groupEnd` every report goes over on its own. The sink must outlive the reader.
    ReportReader(ConnectionSource source, std::size_t reportLength, ReportSink &sink, GroupEnd groupEnd = nullptr);
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
    // GUI thread, once the connection source gives no more connections (the device is gone): runs
    // here the hand-overs of the reports read until then, and returns once the thread has handed
    // over the last of them. That is at most one read away: a removed device's read fails at once.
    // Called from inside one of this reader's own hand-overs, which its thread waits for, it returns
    // at once and the reports left go over after it.
    void finish();

private:
    void run();
    void handOver(std::vector<std::vector<std::uint8_t>> &group);
    void deliver(const std::vector<std::vector<std::uint8_t>> &reports);
    bool waitForStop(int milliseconds);

    const ConnectionSource m_source;
    const std::size_t m_reportLength;
    ReportSink &m_sink;
    const GroupEnd m_groupEnd;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    bool m_finished = false;
    bool m_finishing = false; // finish() cuts a wait between tries short

    int m_delivering = 0; // GUI thread only: hand-overs under way on its stack

    GuiDispatcher m_gui;
    std::thread m_thread; // last: starts once everything above exists
};

} // namespace vestra7
