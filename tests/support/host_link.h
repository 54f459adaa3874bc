// SPDX-License-Identifier: GPL-3.0-or-later
// The host's end of the link on the test's own thread: frames messages onto one HID connection and
// collects the device's replies with the link's receiver.
#pragma once

#include "sim/emulated_adapter.h"

#include "link/hid_backend.h"
#include "link/receiver.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>

namespace vestra7 {

class HostLink final : private MessageSink
{
public:
    explicit HostLink(HidConnection &connection);

    // Writes the message's reports; returns the bytes written (-1 reports count as 0).
    std::size_t send(std::uint8_t cmd, std::span<const std::uint8_t> payload = {});
    // The next message that passed its CRC check, or nothing once `timeout` has passed.
    std::optional<ReceivedMessage> receive(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    int reportsRead() const { return m_reportsRead; }

private:
    void recordReceived(std::uint8_t cmd, std::span<const std::uint8_t> record) override;
    void textReceived() override;
    void updateReplyReceived(std::uint8_t cmd, std::span<const std::uint8_t> payload) override;

    HidConnection &m_connection;
    Receiver m_receiver;
    std::deque<ReceivedMessage> m_messages;
    int m_reportsRead = 0;
};

} // namespace vestra7
