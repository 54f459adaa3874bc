// SPDX-License-Identifier: GPL-3.0-or-later
// The adapter's end of the wire: its messages cut into 64-byte frames, and the host's frames put
// back together into checked messages.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vestra7 {

// Written from the description of the frames, sharing nothing with the host's link, so that a
// framing or checksum fault on one end shows up as a failure on the other.

inline constexpr std::size_t kWireFrameSize = 64;
inline constexpr std::size_t kWireDataBytes = 63; // payload bytes carried by one data frame
inline constexpr std::size_t kWireMaxPayload = 0xFFFF;

using WireFrame = std::array<std::uint8_t, kWireFrameSize>;

// The codes a trailer carries that the firmware and its boot loader act on or send.
enum class AdapterCommand : std::uint8_t {
    Poll = 0,
    Text = 1,
    WriteRecord = 128,
    ImageChunk = 240,
    ImageEnd = 250,
    EnterBootLoader = 251,
    LeaveUpdate = 252,
    ResetSettings = 253,
};

struct ReceivedMessage
{
    std::uint8_t cmd = 0;
    std::vector<std::uint8_t> payload;

    bool operator==(const ReceivedMessage &) const = default;
};

// CRC-16/MODBUS worked out bit by bit (the host uses a table), so that a wrong table entry on the
// host's side cannot hide behind the same entry here.
std::uint16_t wireChecksum(std::span<const std::uint8_t> bytes);

// The data frames of the payload, the last one zero-filled, then the trailer. At most
// kWireMaxPayload bytes are sent; a longer payload is cut there.
std::vector<WireFrame> wireFrames(std::uint8_t cmd, std::span<const std::uint8_t> payload);

// Collects data frames until a trailer ends the message. Nothing marks a message's start, so the
// data of a message whose trailer was lost is counted with the next one, and that one's checksum
// decides.
class WireCollector
{
public:
    // One frame as the host wrote it, report ID taken off. Gives the message a trailer completes
    // when its length and checksum hold; frames shorter than 64 bytes or of no known kind change
    // nothing.
    std::optional<ReceivedMessage> take(std::span<const std::uint8_t> frame);

private:
    std::vector<std::uint8_t> m_collected;
};

} // namespace vestra7
