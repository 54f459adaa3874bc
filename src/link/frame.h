// SPDX-License-Identifier: GPL-3.0-or-later
// The 64-byte frames that carry a message, one per HID report, and the 65-byte reports around them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vestra7 {

inline constexpr std::size_t kFrameSize = 64;
inline constexpr std::size_t kReportSize = 65;       // report ID 0, then one frame
inline constexpr std::size_t kFramePayloadSize = 63; // payload bytes per data frame
inline constexpr std::uint8_t kDataMarker = 0xFA;
inline constexpr std::uint8_t kTrailerMarker = 0xFB;
inline constexpr std::size_t kMaxMessageSize = 65535;
inline constexpr std::size_t kMaxDataFrames = (kMaxMessageSize + kFramePayloadSize - 1) / kFramePayloadSize;

using Frame = std::array<std::uint8_t, kFrameSize>;
using Report = std::array<std::uint8_t, kReportSize>;

struct DataFrame
{
    std::uint8_t marker; // kDataMarker
    std::uint8_t payload[kFramePayloadSize];
};

// Numbers are little-endian byte pairs, so the layout is the same on every host.
struct TrailerFrame
{
    std::uint8_t marker; // kTrailerMarker
    std::uint8_t len[2];
    std::uint8_t crc[2];
    std::uint8_t cmd;
    std::uint8_t zero[58];
};

static_assert(sizeof(DataFrame) == kFrameSize);
static_assert(sizeof(TrailerFrame) == kFrameSize);
static_assert(offsetof(TrailerFrame, len) == 1);
static_assert(offsetof(TrailerFrame, crc) == 3);
static_assert(offsetof(TrailerFrame, cmd) == 5);

struct Trailer
{
    std::uint16_t len;
    std::uint16_t crc;
    std::uint8_t cmd;
};

Frame makeTrailerFrame(const Trailer &trailer);
Trailer parseTrailerFrame(std::span<const std::uint8_t, kFrameSize> frame);

constexpr std::size_t dataFrameCount(std::size_t payloadSize)
{
    return (payloadSize + kFramePayloadSize - 1) / kFramePayloadSize;
}

// The frames of one message in order: the payload in data frames (the last one zero-padded), then
// the trailer with length, CRC and command. Both ends of the link frame their messages this way.
class MessageFrames
{
public:
    // The payload must stay valid while frames are taken; it holds at most kMaxMessageSize bytes.
    MessageFrames(std::uint8_t cmd, std::span<const std::uint8_t> payload);

    std::size_t count() const { return dataFrameCount(m_payload.size()) + 1; }
    // Writes the next frame into `frame`; false once the trailer has been given.
    bool next(Frame &frame);

private:
    std::uint8_t m_cmd;
    std::span<const std::uint8_t> m_payload;
    std::size_t m_offset = 0;
    bool m_done = false;
};

// Report ID 0 followed by the frame.
Report makeReport(const Frame &frame);

} // namespace vestra7
