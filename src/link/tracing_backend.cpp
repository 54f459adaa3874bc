// SPDX-License-Identifier: GPL-3.0-or-later
// Logging the reports of every opened device.
#include "link/tracing_backend.h"

#include "link/report_trace.h"

namespace {

class TracedConnection final : public HidConnection
{
public:
    TracedConnection(std::unique_ptr<HidConnection> inner, std::shared_ptr<ReportTrace> trace)
        : m_inner(std::move(inner))
        , m_trace(std::move(trace))
    {
    }

    int write(std::span<const std::uint8_t> report) override
    {
        m_trace->record(ReportTrace::Direction::Out, report);
        return m_inner->write(report);
    }

    int read(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        const int count = m_inner->read(buffer, timeoutMs);
        if (count > 0)
            m_trace->record(ReportTrace::Direction::In, buffer.first(static_cast<std::size_t>(count)));
        return count;
    }

    HidIoFailure lastWriteFailure() const override { return m_inner->lastWriteFailure(); }

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

HidOpenResult TracingBackend::open(const QString &instance)
{
    HidOpenResult result = m_inner->open(instance);
    if (result.connection)
        result.connection = std::make_unique<TracedConnection>(std::move(result.connection), m_trace);
    return result;
}

void TracingBackend::watchChanges(std::function<void()> onChange)
{
    m_inner->watchChanges(std::move(onChange));
}

QString TracingBackend::lockFolder() const
{
    return m_inner->lockFolder();
}
