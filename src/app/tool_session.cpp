// SPDX-License-Identifier: GPL-3.0-or-later
// The steps of the commands on one adapter, each waiting for what the adapter says.
#include "app/tool_session.h"

#include "link/adapter_lock.h"
#include "model/ansi_codec.h"
#include "model/record_difference.h"

#include <QCoreApplication>

#include <algorithm>

namespace vestra7 {

ToolSession::ToolSession(Adapter &adapter, ToolWaiter &waiter, ToolTimeouts timeouts)
    : m_adapter(adapter)
    , m_waiter(waiter)
    , m_timeouts(timeouts)
{
    const auto news = [this] {
        m_waiter.notice();
    };
    connect(&m_adapter, &AdapterPort::presentAdaptersChanged, this, [this] {
        m_searched = true;
        m_waiter.notice();
    });
    connect(&m_adapter, &AdapterPort::recordChanged, this, [this] {
        ++m_records;
        m_waiter.notice();
    });
    connect(&m_adapter, &AdapterPort::sendFailed, this, [this](const QString &text) {
        m_sendFailure = text;
        m_waiter.notice();
    });
    connect(&m_adapter, &Adapter::writeFailed, this, [this] {
        m_writeFailed = true;
        m_waiter.notice();
    });
    connect(&m_adapter, &AdapterPort::connectionChanged, this, news);
    connect(&m_adapter, &Adapter::bootLoaderChanged, this, news);
    FirmwareUpdatePort &update = m_adapter.firmwareUpdate();
    connect(&update, &FirmwareUpdatePort::settingsReset, this, [this] {
        m_settingsReset = true;
        m_waiter.notice();
    });
    connect(&update, &FirmwareUpdatePort::finished, this, [this](FirmwareUpdatePort::Outcome result) {
        m_updateResult = result;
        m_waiter.notice();
    });
    connect(&update, &FirmwareUpdatePort::progressChanged, this, [this](std::uint64_t position, std::uint64_t) {
        m_updatePosition = position;
        m_waiter.notice();
    });
}

std::optional<PresentAdapter> ToolSession::present(const QString &key) const
{
    const std::vector<PresentAdapter> adapters = m_adapter.presentAdapters();
    const auto found = std::find_if(adapters.begin(), adapters.end(),
                                    [&key](const PresentAdapter &adapter) { return adapter.key == key; });
    return found != adapters.end() ? std::optional(*found) : std::nullopt;
}

ToolStep ToolSession::reach(const PresentAdapter &target, bool firmwareNeeded)
{
    m_adapter.chooseAdapter(target.key);
    const auto reached = [this, &target] {
        return m_adapter.identity().key == target.key && (m_adapter.connected() || m_adapter.bootLoaderPresent());
    };
    // A service that only watches the adapter lets go of it when asked, as the search just did.
    const auto handingOver = [this, &target] {
        return m_adapter.inUseHandsOver() && m_adapter.inUseKey() == target.key;
    };
    if (!reached() && handingOver())
        m_waiter.waitUntil([&] { return reached() || !handingOver(); }, AdapterLock::kHandOverWait);
    if (!reached()) {
        // The search that the choice ran has tried to lock and to open it.
        if (!m_adapter.inUseBy().isEmpty() && m_adapter.inUseKey() == target.key)
            return ToolOutcome{m_adapter.lockFailed() ? ToolExit::Failed : ToolExit::InUse, m_adapter.inUseBy(), {}};
        const std::optional<PresentAdapter> now = present(target.key);
        if (now && !now->accessError.isEmpty())
            return ToolOutcome{ToolExit::AccessDenied, tr("Cannot open the adapter: %1").arg(now->accessError), {}};
        if (!m_waiter.waitUntil(reached, m_timeouts.answer))
            return ToolOutcome{ToolExit::Failed, tr("The adapter could not be reached."), {}};
    }
    if (firmwareNeeded && !m_adapter.connected())
        return ToolOutcome{ToolExit::Failed, tr("The adapter runs its boot loader; update its firmware first."), {}};
    return {};
}

ToolStep ToolSession::readRecord()
{
    // A record of the adapter used before may still be announced; the one wanted comes after it.
    QCoreApplication::processEvents();
    const int seen = m_records;
    if (!m_waiter.waitUntil([&] { return m_records > seen; }, m_timeouts.answer))
        return ToolOutcome{ToolExit::Failed, tr("The adapter did not send its record."), {}};
    return {};
}

ToolStep ToolSession::writeRecord(const QByteArray &bytes)
{
    m_sendFailure.clear();
    m_writeFailed = false;
    m_adapter.loadConfiguration(bytes);
    const DeviceRecord written = m_adapter.record();
    // The adapter confirms the write once its reply holds what was written.
    bool answered = false;
    const QMetaObject::Connection answer = connect(&m_adapter, &Adapter::writeConfirmed, this, [this, &answered] {
        answered = true;
        m_waiter.notice();
    });
    const auto confirmed = [&] {
        return answered && recordDifferences(written, m_adapter.record(), AnsiCodec::system()).empty();
    };
    m_waiter.waitUntil([&] { return confirmed() || m_writeFailed || !m_sendFailure.isEmpty(); }, m_timeouts.answer);
    disconnect(answer);
    if (!m_sendFailure.isEmpty())
        return ToolOutcome{ToolExit::Failed, m_sendFailure, {}};
    if (!confirmed())
        return ToolOutcome{ToolExit::Failed, tr("The adapter did not confirm the write."), {}};
    return {};
}

bool ToolSession::inBootLoader(const PresentAdapter &target) const
{
    return m_adapter.bootLoaderPresent() && m_adapter.identity().serial == target.serial;
}

ToolStep ToolSession::enterBootLoader(const PresentAdapter &target)
{
    // The adapter is asked into its boot loader, and stays the one used while it restarts.
    firmwareUpdate().enterBootLoader();
    if (!m_waiter.waitUntil([&] { return inBootLoader(target); }, m_timeouts.restart)) {
        firmwareUpdate().leaveBootLoader();
        return ToolOutcome{ToolExit::Failed, tr("The adapter did not restart into its boot loader."), {}};
    }
    return {};
}

bool ToolSession::backInFirmware(const PresentAdapter &target) const
{
    const std::optional<PresentAdapter> now = present(target.key);
    return now && !now->bootLoader;
}

ToolStep ToolSession::returnToFirmware(const PresentAdapter &target)
{
    if (!m_waiter.waitUntil([&] { return backInFirmware(target); }, m_timeouts.restart))
        return ToolOutcome{ToolExit::Failed, tr("The adapter did not come back from its boot loader."), {}};
    return reach(target, true);
}

ToolStep ToolSession::leaveBootLoader(const PresentAdapter &target)
{
    // The message must reach the adapter before the program ends.
    firmwareUpdate().leaveBootLoader();
    return returnToFirmware(target);
}

bool ToolSession::resetSettings()
{
    m_settingsReset = false;
    firmwareUpdate().resetSettings();
    return m_waiter.waitUntil([this] { return m_settingsReset; }, m_timeouts.answer);
}

void ToolSession::transfer(FirmwareImage image)
{
    m_updateResult.reset();
    m_updatePosition = image.position();
    firmwareUpdate().transfer(std::move(image));
}

} // namespace vestra7
