// SPDX-License-Identifier: GPL-3.0-or-later
// The receiving side of the link: collects frames into messages, checks them and dispatches them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vestra7 {

// Where checked messages go. Called on the thread that feeds the receiver.
class MessageSink
{
public:
    virtual ~MessageSink() = default;

    // A record message (command 0 or 128): `record` is exactly one whole record, or empty when the
    // message had no payload and the record is to stay as it is.
    virtual void recordReceived(std::uint8_t cmd, std::span<const std::uint8_t> record) = 0;
    // A text message (command 1); only its arrival matters.
    virtual void textReceived() = 0;
    // A reply for the update window (commands 240 to 255), with whatever payload it carried.
    virtual void updateReplyReceived(std::uint8_t cmd, std::span<const std::uint8_t> payload) = 0;
};

class Receiver
{
public:
    explicit Receiver(MessageSink &sink);

    // One input report, without its report-ID byte: a frame of 64 bytes. Shorter reports are
    // ignored; bytes past the frame are not looked at.
    void takeReport(std::span<const std::uint8_t> report);

    std::size_t collectedBytes() const { return m_collected.size(); }

private:
    void dispatch(std::uint8_t cmd, std::span<const std::uint8_t> payload);

    MessageSink &m_sink;
    std::vector<std::uint8_t> m_collected;
};

} // namespace vestra7
