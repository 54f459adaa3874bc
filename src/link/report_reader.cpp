// SPDX-License-Identifier: GPL-3.0-or-later
// Reading input reports and handing them to the GUI thread one at a time.
#include "link/report_reader.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <chrono>
#include <utility>

namespace vestra7 {

ReportReader::ReportReader(ConnectionSource source, std::size_t reportLength, ReportSink &sink, GroupEnd groupEnd)
    : m_source(std::move(source))
    , m_reportLength(std::max<std::size_t>(reportLength, 2))
    , m_sink(sink)
    , m_groupEnd(groupEnd)
    , m_thread([this] { run(); })
{
}

ReportReader::~ReportReader()
{
    stop();
}

void ReportReader::requestStop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    // Releases a hand-over that waits for a GUI thread which may not serve it any more.
    m_gui.shutdown();
}

void ReportReader::stop()
{
    requestStop();
    if (m_thread.joinable())
        m_thread.join();
}

bool ReportReader::hasFinished() const
{
    const std::lock_guard lock(m_mutex);
    return m_finished;
}

void ReportReader::finish()
{
    if (m_delivering > 0)
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_finishing = true;
    }
    m_wake.notify_all();
    m_gui.runUntilClosed();
}

void ReportReader::run()
{
    std::vector<std::uint8_t> buffer(m_reportLength);
    std::vector<std::vector<std::uint8_t>> group;
    for (;;) {
        {
            const std::lock_guard lock(m_mutex);
            if (m_stopping)
                break;
        }
        std::shared_ptr<HidConnection> connection = m_source();
        // A device that is gone never comes back: a re-plugged device is a new device object. What
        // it sent before it went is still its own, and goes over before its removal is handled.
        if (!connection) {
            if (!group.empty())
                handOver(group);
            break;
        }
        const HidIoResult count = connection->read(buffer, group.empty() ? kReadSliceMs : kGroupGapMs);
        // Let go at once, so that the handle can close as soon as the device is found gone.
        connection.reset();
        if (!count) {
            if (waitForStop(kRetryDelayMs))
                break;
        } else if (*count > 0) {
            const auto report = std::span(buffer).first(std::min(*count, buffer.size()));
            group.emplace_back(report.begin(), report.end());
            if (m_groupEnd == nullptr || m_groupEnd(report.subspan(1)) || group.size() >= kMaxGroup)
                handOver(group);
        } else if (!group.empty()) {
            handOver(group);
        }
    }
    {
        const std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_gui.close();
}

void ReportReader::handOver(std::vector<std::vector<std::uint8_t>> &group)
{
    // The reports travel inside the task, so they stay with the GUI thread even if the wait is
    // released while it still handles them.
    m_gui.runAndWait([this, reports = std::exchange(group, {})] { deliver(reports); });
}

void ReportReader::deliver(const std::vector<std::vector<std::uint8_t>> &reports)
{
    const QScopedValueRollback delivering(m_delivering, m_delivering + 1);
    for (const std::vector<std::uint8_t> &report : reports) {
        {
            // Stopped, also by a handler: the rest of the group is not handled.
            const std::lock_guard lock(m_mutex);
            if (m_stopping)
                return;
        }
        try {
            m_sink.reportRead(report[0], std::span(report).subspan(1));
        } catch (...) {
            // The handler has had its say; a failure there must not end the reading of later reports.
        }
    }
}

bool ReportReader::waitForStop(int milliseconds)
{
    std::unique_lock lock(m_mutex);
    // Woken by finish() too: the next try finds the device gone at once.
    m_wake.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_stopping || m_finishing; });
    return m_stopping;
}

} // namespace vestra7
