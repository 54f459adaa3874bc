// SPDX-License-Identifier: GPL-3.0-or-later
// Framing, unframing and the checksum of the adapter's end of the wire.
#include "sim/wire_codec.h"

#include <algorithm>
#include <utility>

namespace vestra7 {

namespace {

constexpr std::uint8_t kDataFrame = 0xFA;
constexpr std::uint8_t kTrailerFrame = 0xFB;

// Trailer: length at 1 and checksum at 3, both little-endian, then the command at 5.
constexpr std::size_t kLengthAt = 1;
constexpr std::size_t kChecksumAt = 3;
constexpr std::size_t kCommandAt = 5;

void putLittleEndian(WireFrame &frame, std::size_t at, std::uint16_t value)
{
    frame[at] = static_cast<std::uint8_t>(value & 0xFFu);
    frame[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint16_t littleEndianAt(std::span<const std::uint8_t> frame, std::size_t at)
{
    return static_cast<std::uint16_t>(frame[at] | frame[at + 1] << 8);
}

} // namespace

std::uint16_t wireChecksum(std::span<const std::uint8_t> bytes)
{
    std::uint16_t crc = 0xFFFF;
    for (const std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001u)
                                  : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

std::vector<WireFrame> wireFrames(std::uint8_t cmd, std::span<const std::uint8_t> payload)
{
    payload = payload.first(std::min(payload.size(), kWireMaxPayload));
    std::vector<WireFrame> frames;
    frames.reserve(payload.size() / kWireDataBytes + 2);
    for (std::size_t offset = 0; offset < payload.size(); offset += kWireDataBytes) {
        WireFrame &frame = frames.emplace_back();
        frame.fill(0);
        frame[0] = kDataFrame;
        const auto part = payload.subspan(offset, std::min(kWireDataBytes, payload.size() - offset));
        std::copy(part.begin(), part.end(), frame.begin() + 1);
    }
    WireFrame &trailer = frames.emplace_back();
    trailer.fill(0);
    trailer[0] = kTrailerFrame;
    putLittleEndian(trailer, kLengthAt, static_cast<std::uint16_t>(payload.size()));
    putLittleEndian(trailer, kChecksumAt, wireChecksum(payload));
    trailer[kCommandAt] = cmd;
    return frames;
}

std::optional<ReceivedMessage> WireCollector::take(std::span<const std::uint8_t> frame)
{
    if (frame.size() < kWireFrameSize)
        return std::nullopt;
    if (frame[0] == kDataFrame) {
        // Only the first kWireMaxPayload bytes can ever be counted; data past them is not kept, so
        // that a host that never ends its message cannot make the buffer grow without end.
        if (m_collected.size() < kWireMaxPayload)
            m_collected.insert(m_collected.end(), frame.begin() + 1, frame.begin() + kWireFrameSize);
        return std::nullopt;
    }
    if (frame[0] != kTrailerFrame)
        return std::nullopt;
    const std::size_t length = littleEndianAt(frame, kLengthAt);
    std::vector<std::uint8_t> collected = std::exchange(m_collected, {});
    if (length > collected.size())
        return std::nullopt;
    collected.resize(length);
    if (wireChecksum(collected) != littleEndianAt(frame, kChecksumAt))
        return std::nullopt;
    return ReceivedMessage{frame[kCommandAt], std::move(collected)};
}

} // namespace vestra7
