// SPDX-License-Identifier: GPL-3.0-or-later
// Sending and receiving whole messages over one connection.
#include "support/host_link.h"

#include "link/commands.h"
#include "link/frame.h"

namespace vestra7 {

HostLink::HostLink(HidConnection &connection)
    : m_connection(connection)
    , m_receiver(*this)
{
}

std::size_t HostLink::send(std::uint8_t cmd, std::span<const std::uint8_t> payload)
{
    MessageFrames frames(cmd, payload);
    Frame frame;
    std::size_t written = 0;
    while (frames.next(frame)) {
        const Report report = makeReport(frame);
        if (const HidIoResult count = m_connection.write(report))
            written += *count;
    }
    return written;
}

std::optional<ReceivedMessage> HostLink::receive(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    Report report{};
    while (m_messages.empty()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        const HidIoResult count = m_connection.read(report, static_cast<int>(std::min<long long>(left.count(), 100)));
        if (!count)
            return std::nullopt;
        if (*count > 1) {
            ++m_reportsRead;
            m_receiver.takeReport(std::span(report).subspan(1, *count - 1));
        }
    }
    ReceivedMessage message = std::move(m_messages.front());
    m_messages.pop_front();
    return message;
}

void HostLink::recordReceived(std::uint8_t cmd, std::span<const std::uint8_t> record)
{
    m_messages.push_back({cmd, {record.begin(), record.end()}});
}

void HostLink::textReceived()
{
    m_messages.push_back({CMD_TEXT, {}});
}

void HostLink::updateReplyReceived(std::uint8_t cmd, std::span<const std::uint8_t> payload)
{
    m_messages.push_back({cmd, {payload.begin(), payload.end()}});
}

} // namespace vestra7
