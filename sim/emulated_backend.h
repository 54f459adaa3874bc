// SPDX-License-Identifier: GPL-3.0-or-later
// The HID access backend over the emulated bus, for the demo, the tests and the benchmarks.
#pragma once

#include "link/hid_backend.h"

#include <atomic>
#include <memory>

namespace vestra7 {

class EmulatedBus;
class GuiDispatcher;

class EmulatedBackend final : public HidBackend
{
public:
    // Create it on the GUI thread; the bus must outlive it.
    explicit EmulatedBackend(EmulatedBus &bus);
    ~EmulatedBackend() override;

    std::vector<HidDeviceInfo> scan() override;
    Result<std::unique_ptr<HidConnection>> open(const QString &instance) override;
    // Every plug and unplug on the bus, from whatever thread, becomes one call on the GUI thread.
    void watchChanges(std::function<void()> onChange) override;
    QString lockScope() const override;

private:
    EmulatedBus &m_bus;
    std::function<void()> m_onChange;
    std::unique_ptr<GuiDispatcher> m_changes;
    std::atomic<bool> m_changePosted{false};
    int m_subscription = 0;
};

} // namespace vestra7
