// SPDX-License-Identifier: GPL-3.0-or-later
// Scanning, opening and watching the emulated bus.
#include "sim/emulated_backend.h"

#include "sim/emulated_bus.h"
#include "sim/emulated_hid_device.h"

#include "link/gui_dispatcher.h"

namespace vestra7 {

namespace {

class EmulatedConnection final : public HidConnection
{
public:
    EmulatedConnection(std::shared_ptr<EmulatedHidDevice> device, QString instance)
        : m_device(std::move(device))
        , m_instance(std::move(instance))
    {
    }

    HidIoResult write(std::span<const std::uint8_t> report) override
    {
        const HostWrite outcome = m_device->hostWrite(m_instance, report);
        if (outcome.bytes < 0)
            return outcome.failure;
        return static_cast<std::size_t>(outcome.bytes);
    }

    HidIoResult read(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        const int count = m_device->hostRead(m_instance, buffer, timeoutMs);
        if (count < 0)
            return HidIoFailure{true};
        return static_cast<std::size_t>(count);
    }

private:
    std::shared_ptr<EmulatedHidDevice> m_device;
    QString m_instance;
};

} // namespace

EmulatedBackend::EmulatedBackend(EmulatedBus &bus)
    : m_bus(bus)
    , m_changes(std::make_unique<GuiDispatcher>())
{
    // Changes made before the GUI thread gets to them are answered by one call: it scans them all.
    m_subscription = m_bus.subscribe([this] {
        if (m_changePosted.exchange(true))
            return;
        m_changes->post([this] {
            m_changePosted = false;
            if (m_onChange)
                m_onChange();
        });
    });
}

EmulatedBackend::~EmulatedBackend()
{
    m_bus.unsubscribe(m_subscription);
}

std::vector<HidDeviceInfo> EmulatedBackend::scan()
{
    return m_bus.scan();
}

Result<std::unique_ptr<HidConnection>> EmulatedBackend::open(const QString &instance)
{
    std::shared_ptr<EmulatedHidDevice> device = m_bus.find(instance);
    if (!device)
        return Error{QStringLiteral("%1: No such device").arg(instance)};
    const QString refusal = device->openRefusal();
    if (!refusal.isEmpty())
        return Error{QStringLiteral("%1: %2").arg(instance, refusal)};
    return std::unique_ptr<HidConnection>(std::make_unique<EmulatedConnection>(std::move(device), instance));
}

void EmulatedBackend::watchChanges(std::function<void()> onChange)
{
    m_onChange = std::move(onChange);
}

QString EmulatedBackend::lockScope() const
{
    return m_bus.lockScope();
}

} // namespace vestra7
