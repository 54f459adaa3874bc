// SPDX-License-Identifier: GPL-3.0-or-later
// The tracking backend and its ledger.
#include "tracking_backend.h"

#include "link/frame.h"

namespace vestra7 {

class TrackedConnection final : public HidConnection
{
public:
    TrackedConnection(std::unique_ptr<HidConnection> inner, std::shared_ptr<HandleLedger> ledger)
        : m_inner(std::move(inner))
        , m_ledger(std::move(ledger))
    {
        ++m_ledger->m_open;
        ++m_ledger->m_opened;
    }

    ~TrackedConnection() override
    {
        if (m_callsUnderWay.load() != 0)
            ++m_ledger->m_closedDuringCall;
        --m_ledger->m_open;
    }

    HidIoResult write(std::span<const std::uint8_t> report) override
    {
        const CallUnderWay call(m_callsUnderWay);
        // Writes come from one thread at a time, so the position in the message needs no lock.
        const std::uint8_t marker = report.size() > 1 ? report[1] : 0;
        if (m_reportIndex == 0)
            m_messageHasData = marker == kDataMarker;
        if (const std::function<void()> action = m_ledger->takeWriteAction(m_reportIndex, m_messageHasData))
            action();
        HidIoResult written = m_inner->write(report);
        m_reportIndex = marker == kTrailerMarker ? 0 : m_reportIndex + 1;
        return written;
    }

    HidIoResult read(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        const CallUnderWay call(m_callsUnderWay);
        if (const std::function<void()> action = m_ledger->takeReadAction())
            action();
        return m_inner->read(buffer, timeoutMs);
    }

private:
    struct CallUnderWay
    {
        explicit CallUnderWay(std::atomic<int> &count)
            : m_count(count)
        {
            ++m_count;
        }
        ~CallUnderWay() { --m_count; }
        std::atomic<int> &m_count;
    };

    std::unique_ptr<HidConnection> m_inner;
    std::shared_ptr<HandleLedger> m_ledger;
    std::atomic<int> m_callsUnderWay{0};
    int m_reportIndex = 0;
    bool m_messageHasData = false;
};

void HandleLedger::armWrite(int reportIndex, std::function<void()> action)
{
    const std::lock_guard lock(m_mutex);
    m_writeIndex = reportIndex;
    m_writeAction = std::move(action);
}

void HandleLedger::armRead(std::function<void()> action)
{
    const std::lock_guard lock(m_mutex);
    m_readAction = std::move(action);
}

std::function<void()> HandleLedger::takeWriteAction(int reportIndex, bool messageHasData)
{
    const std::lock_guard lock(m_mutex);
    if (!m_writeAction || !messageHasData || reportIndex != m_writeIndex)
        return {};
    return std::exchange(m_writeAction, {});
}

std::function<void()> HandleLedger::takeReadAction()
{
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_readAction, {});
}

TrackingBackend::TrackingBackend(std::unique_ptr<HidBackend> inner, std::shared_ptr<HandleLedger> ledger)
    : m_inner(std::move(inner))
    , m_ledger(std::move(ledger))
{
}

std::vector<HidDeviceInfo> TrackingBackend::scan()
{
    return m_inner->scan();
}

Result<std::unique_ptr<HidConnection>> TrackingBackend::open(const QString &instance)
{
    Result<std::unique_ptr<HidConnection>> opened = m_inner->open(instance);
    if (opened)
        *opened = std::make_unique<TrackedConnection>(std::move(*opened), m_ledger);
    return opened;
}

void TrackingBackend::watchChanges(std::function<void()> onChange)
{
    m_inner->watchChanges(std::move(onChange));
}

std::vector<HidDeviceEvent> TrackingBackend::takeEvents()
{
    return m_inner->takeEvents();
}

QString TrackingBackend::lockScope() const
{
    return m_inner->lockScope();
}

} // namespace vestra7
