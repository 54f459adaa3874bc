// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins around a FirmwareUpdater: a port that keeps what is posted, and a tick timer that lets
// time pass only when a test says so.
#pragma once

#include "link/tick_timer.h"
#include "link/update_port.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace vestra7 {

class RecordingPort final : public UpdatePort
{
public:
    struct Message
    {
        std::uint8_t cmd = 0;
        std::vector<std::uint8_t> payload;

        bool operator==(const Message &) const = default;
    };

    void post(Command command, std::span<const std::uint8_t> payload) override
    {
        m_posted.push_back({commandByte(command), {payload.begin(), payload.end()}});
    }

    // What was posted since the last call, oldest first.
    std::vector<Message> take() { return std::exchange(m_posted, {}); }

private:
    std::vector<Message> m_posted;
};

class FakeTickTimer final : public TickTimer
{
public:
    void start(std::chrono::milliseconds interval) override
    {
        m_interval = interval;
        m_untilNext = interval;
    }
    std::chrono::milliseconds interval() const override { return m_interval; }
    std::chrono::milliseconds untilNextTick() const { return m_untilNext; }

    // Lets `time` pass, ticking whenever an interval is over.
    void advance(std::chrono::milliseconds time)
    {
        while (m_interval.count() > 0 && time >= m_untilNext) {
            time -= m_untilNext;
            m_untilNext = m_interval;
            emit ticked();
        }
        m_untilNext -= time;
    }
    // Lets time pass up to the next tick and that tick run.
    void tick() { advance(m_untilNext); }

private:
    std::chrono::milliseconds m_interval{0};
    std::chrono::milliseconds m_untilNext{0};
};

} // namespace vestra7
