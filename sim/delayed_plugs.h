// SPDX-License-Identifier: GPL-3.0-or-later
// Devices on their way back onto a port after a while away, as a restarting device is.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vestra7 {

class EmulatedHidDevice;
class EmulatedPort;

// One thread, started with the first device away, plugs each device back into the port at its time.
// A real adapter is gone from the bus for a few hundred milliseconds when it restarts; a port that
// plugged it back at once would hide every fault of a program in that gap.
class DelayedPlugs final
{
public:
    explicit DelayedPlugs(EmulatedPort &port);
    ~DelayedPlugs();

    DelayedPlugs(const DelayedPlugs &) = delete;
    DelayedPlugs &operator=(const DelayedPlugs &) = delete;

    // Plugs the device in `gap` from now. Any thread.
    void plugAfter(const std::shared_ptr<EmulatedHidDevice> &device, std::chrono::milliseconds gap);
    // Devices still away stay away; waits for a plug under way. For the port's own end.
    void stop();

private:
    struct Pending
    {
        std::chrono::steady_clock::time_point due;
        std::shared_ptr<EmulatedHidDevice> device;
    };

    void run();

    EmulatedPort &m_port;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Pending> m_pending;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace vestra7
