// SPDX-License-Identifier: GPL-3.0-or-later
// A USB bus in memory: emulated HID devices are plugged into it and taken out, and listeners
// hear of every change.
#pragma once

#include "sim/delayed_plugs.h"
#include "sim/emulated_port.h"

#include "link/hid_backend.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace vestra7 {

class EmulatedBus final : public EmulatedPort
{
public:
    EmulatedBus();
    // Takes every device out (without telling listeners).
    ~EmulatedBus() override;

    EmulatedBus(const EmulatedBus &) = delete;
    EmulatedBus &operator=(const EmulatedBus &) = delete;

    // Instances are "emulated:1", "emulated:2"...: never handed out twice.
    QString plug(const std::shared_ptr<EmulatedHidDevice> &device) override;
    void unplug(EmulatedHidDevice &device) override;
    void plugAfter(const std::shared_ptr<EmulatedHidDevice> &device, std::chrono::milliseconds gap) override
    {
        m_delayedPlugs.plugAfter(device, gap);
    }

    // The plugged-in devices in the order they were plugged in.
    std::vector<HidDeviceInfo> scan() const;
    std::shared_ptr<EmulatedHidDevice> find(const QString &instance) const;

    // Where the adapters on this bus are locked: a scope of its own, so that two programs on one bus
    // contend for its adapters as on a real one, and other buses, in this process or another, stay
    // apart from it and from real adapters.
    const QString &lockScope() const { return m_lockScope; }

    // Tells listeners of a change that added or removed no HID device, as the system also does.
    void announce();

    // `listener` runs on the thread that plugged or unplugged, after the change. Returns an id for
    // unsubscribe(), which waits for a call that is under way.
    int subscribe(std::function<void()> listener);
    void unsubscribe(int id);

private:
    void notify();

    QString m_lockScope;
    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<EmulatedHidDevice>> m_plugged;
    int m_nextInstance = 1;

    std::mutex m_listenerMutex;
    std::map<int, std::function<void()>> m_listeners;
    int m_nextListener = 1;

    DelayedPlugs m_delayedPlugs{*this};
};

} // namespace vestra7
