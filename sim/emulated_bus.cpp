// SPDX-License-Identifier: GPL-3.0-or-later
// Plugging emulated devices in and out, and telling listeners.
#include "sim/emulated_bus.h"

#include "sim/emulated_hid_device.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>

namespace vestra7 {

EmulatedBus::EmulatedBus()
{
    // Numbered within the process, and named after it: unique among the buses of all processes.
    static std::atomic<int> buses{0};
    m_lockScope = QStringLiteral("bus-%1-%2").arg(QCoreApplication::applicationPid()).arg(++buses);
}

EmulatedBus::~EmulatedBus()
{
    m_delayedPlugs.stop();
    const std::lock_guard lock(m_mutex);
    for (const auto &device : m_plugged)
        device->detach();
}

QString EmulatedBus::plug(const std::shared_ptr<EmulatedHidDevice> &device)
{
    QString instance;
    {
        const std::lock_guard lock(m_mutex);
        if (std::find(m_plugged.begin(), m_plugged.end(), device) != m_plugged.end())
            return device->instance();
        instance = QStringLiteral("emulated:%1").arg(m_nextInstance++);
        device->attach(this, instance);
        m_plugged.push_back(device);
    }
    notify();
    return instance;
}

void EmulatedBus::unplug(EmulatedHidDevice &device)
{
    {
        const std::lock_guard lock(m_mutex);
        const auto found =
            std::find_if(m_plugged.begin(), m_plugged.end(), [&](const auto &p) { return p.get() == &device; });
        if (found == m_plugged.end())
            return;
        device.detach();
        m_plugged.erase(found);
    }
    notify();
}

std::vector<HidDeviceInfo> EmulatedBus::scan() const
{
    const std::lock_guard lock(m_mutex);
    std::vector<HidDeviceInfo> found;
    found.reserve(m_plugged.size());
    for (const auto &device : m_plugged)
        found.push_back(device->info());
    return found;
}

std::shared_ptr<EmulatedHidDevice> EmulatedBus::find(const QString &instance) const
{
    const std::lock_guard lock(m_mutex);
    const auto found =
        std::find_if(m_plugged.begin(), m_plugged.end(), [&](const auto &p) { return p->instance() == instance; });
    return found != m_plugged.end() ? *found : nullptr;
}

void EmulatedBus::announce()
{
    notify();
}

int EmulatedBus::subscribe(std::function<void()> listener)
{
    const std::lock_guard lock(m_listenerMutex);
    m_listeners.emplace(m_nextListener, std::move(listener));
    return m_nextListener++;
}

void EmulatedBus::unsubscribe(int id)
{
    const std::lock_guard lock(m_listenerMutex);
    m_listeners.erase(id);
}

void EmulatedBus::notify()
{
    const std::lock_guard lock(m_listenerMutex);
    for (const auto &[id, listener] : m_listeners)
        listener();
}

} // namespace vestra7
