// SPDX-License-Identifier: GPL-3.0-or-later
// Plugging devices back in after their while away.
#include "sim/delayed_plugs.h"

#include "sim/emulated_port.h"

#include <algorithm>

namespace vestra7 {

DelayedPlugs::DelayedPlugs(EmulatedPort &port)
    : m_port(port)
{
}

DelayedPlugs::~DelayedPlugs()
{
    stop();
}

void DelayedPlugs::plugAfter(const std::shared_ptr<EmulatedHidDevice> &device, std::chrono::milliseconds gap)
{
    const std::lock_guard lock(m_mutex);
    if (m_stopping)
        return;
    m_pending.push_back({std::chrono::steady_clock::now() + gap, device});
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    m_changed.notify_all();
}

void DelayedPlugs::stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_pending.clear();
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void DelayedPlugs::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (m_pending.empty()) {
            m_changed.wait(lock);
            continue;
        }
        const auto next = std::min_element(m_pending.begin(), m_pending.end(),
                                           [](const Pending &a, const Pending &b) { return a.due < b.due; });
        if (std::chrono::steady_clock::now() < next->due) {
            m_changed.wait_until(lock, next->due);
            continue;
        }
        const std::shared_ptr<EmulatedHidDevice> device = std::move(next->device);
        m_pending.erase(next);
        // The port takes locks of its own, and may call back into a device that plugs again.
        lock.unlock();
        m_port.plug(device);
        lock.lock();
    }
}

} // namespace vestra7
