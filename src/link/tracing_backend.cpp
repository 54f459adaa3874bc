// SPDX-License-Identifier: GPL-3.0-or-later
// Logging the reports of every opened device.
#include "link/tracing_backend.h"

#include "link/report_trace.h"

#include <algorithm>

namespace vestra7 {

namespace {

class TracedConnection final : public HidConnection
{
public:
    TracedConnection(std::unique_ptr<HidConnection> inner, std::shared_ptr<ReportTrace> trace)
        : m_inner(std::move(inner))
        , m_trace(std::move(trace))
    {
    }

    HidIoResult write(std::span<const std::uint8_t> report) override
    {
        m_trace->record(ReportTrace::Direction::Out, report);
        return m_inner->write(report);
    }

    HidIoResult read(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        HidIoResult count = m_inner->read(buffer, timeoutMs);
        if (count && *count > 0)
            m_trace->record(ReportTrace::Direction::In, buffer.first(std::min(*count, buffer.size())));
        return count;
    }

private:
    std::unique_ptr<HidConnection> m_inner;
    std::shared_ptr<ReportTrace> m_trace;
};

} // namespace

TracingBackend::TracingBackend(std::unique_ptr<HidBackend> inner, std::shared_ptr<ReportTrace> trace)
    : m_inner(std::move(inner))
    , m_trace(std::move(trace))
{
}

std::vector<HidDeviceInfo> TracingBackend::scan()
{
    return m_inner->scan();
}

Result<std::unique_ptr<HidConnection>> TracingBackend::open(const QString &instance)
{
    Result<std::unique_ptr<HidConnection>> opened = m_inner->open(instance);
    if (opened)
        *opened = std::make_unique<TracedConnection>(std::move(*opened), m_trace);
    return opened;
}

void TracingBackend::watchChanges(std::function<void()> onChange)
{
    m_inner->watchChanges(std::move(onChange));
}

std::vector<HidDeviceEvent> TracingBackend::takeEvents()
{
    return m_inner->takeEvents();
}

QString TracingBackend::lockScope() const
{
    return m_inner->lockScope();
}

} // namespace vestra7
