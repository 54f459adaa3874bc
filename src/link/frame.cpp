// SPDX-License-Identifier: GPL-3.0-or-later
// Building and reading frames.
#include "link/frame.h"

#include "link/crc.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace vestra7 {

namespace {

// Frames are built and read through their declared layouts, so the offsets live in one place.
template <class Layout> Frame frameOf(const Layout &layout)
{
    static_assert(sizeof(Layout) == kFrameSize);
    Frame frame;
    std::memcpy(frame.data(), &layout, kFrameSize);
    return frame;
}

void putLittleEndian(std::uint8_t (&bytes)[2], std::uint16_t value)
{
    bytes[0] = static_cast<std::uint8_t>(value & 0xFFu);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint16_t littleEndian(const std::uint8_t (&bytes)[2])
{
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

} // namespace

Frame makeTrailerFrame(const Trailer &trailer)
{
    TrailerFrame layout{};
    layout.marker = kTrailerMarker;
    putLittleEndian(layout.len, trailer.len);
    putLittleEndian(layout.crc, trailer.crc);
    layout.cmd = trailer.cmd;
    return frameOf(layout);
}

Trailer parseTrailerFrame(std::span<const std::uint8_t, kFrameSize> frame)
{
    TrailerFrame layout;
    std::memcpy(&layout, frame.data(), kFrameSize);
    return Trailer{littleEndian(layout.len), littleEndian(layout.crc), layout.cmd};
}

MessageFrames::MessageFrames(std::uint8_t cmd, std::span<const std::uint8_t> payload)
    : m_cmd(cmd)
    , m_payload(payload)
{
    assert(payload.size() <= kMaxMessageSize);
}

bool MessageFrames::next(Frame &frame)
{
    if (m_done)
        return false;
    if (m_offset < m_payload.size()) {
        const std::size_t n = std::min(m_payload.size() - m_offset, kFramePayloadSize);
        DataFrame layout{};
        layout.marker = kDataMarker;
        std::copy_n(m_payload.begin() + static_cast<std::ptrdiff_t>(m_offset), n, layout.payload);
        frame = frameOf(layout);
        m_offset += n;
        return true;
    }
    const auto length = static_cast<int>(m_payload.size());
    frame = makeTrailerFrame({static_cast<std::uint16_t>(length), crc16(m_payload.data(), length), m_cmd});
    m_done = true;
    return true;
}

Report makeReport(const Frame &frame)
{
    Report report{};
    std::copy(frame.begin(), frame.end(), report.begin() + 1);
    return report;
}

} // namespace vestra7
