// Reading input reports and handing them to the GUI thread one at a time.
#include "link/report_reader.h"

#include <algorithm>
#include <chrono>

ReportReader::ReportReader(ConnectionSource source, std::size_t reportLength, Deliver deliver)
    : m_source(std::move(source))
    , m_reportLength(std::max<std::size_t>(reportLength, 2))
    , m_deliver(std::move(deliver))
    , m_deliverCall([this] { deliverPending(); })
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

void ReportReader::run()
{
    std::vector<std::uint8_t> buffer(m_reportLength);
    for (;;) {
        {
            const std::lock_guard lock(m_mutex);
            if (m_stopping)
                break;
        }
        std::shared_ptr<HidConnection> connection = m_source();
        // A device that is gone never comes back: a re-plugged device is a new device object.
        if (!connection)
            break;
        const int count = connection->read(buffer, kReadSliceMs);
        // Let go at once, so that the handle can close as soon as the device is found gone.
        connection.reset();
        if (count > 0) {
            handOver(std::span(buffer).first(std::min(static_cast<std::size_t>(count), buffer.size())));
        } else if (count < 0 && waitForStop(kRetryDelayMs)) {
            break;
        }
    }
    const std::lock_guard lock(m_mutex);
    m_finished = true;
}

void ReportReader::handOver(std::span<const std::uint8_t> report)
{
    {
        const std::lock_guard lock(m_mutex);
        m_pending.assign(report.begin(), report.end());
        m_pendingReady = true;
    }
    m_deliverCall.post();
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_stopping || !m_pendingReady; });
}

void ReportReader::deliverPending()
{
    std::vector<std::uint8_t> report;
    {
        const std::lock_guard lock(m_mutex);
        if (!m_pendingReady || m_stopping)
            return;
        report = m_pending;
    }
    try {
        m_deliver(report[0], std::span(report).subspan(1));
    } catch (...) {
        // The handler has had its say; a failure there must not end the reading of later reports.
    }
    {
        const std::lock_guard lock(m_mutex);
        m_pendingReady = false;
    }
    m_wake.notify_all();
}

bool ReportReader::waitForStop(int milliseconds)
{
    std::unique_lock lock(m_mutex);
    return m_wake.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_stopping; });
}
