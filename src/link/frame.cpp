// Building and reading frames.
#include "link/frame.h"

#include "link/crc.h"

#include <algorithm>
#include <cassert>

Frame makeTrailerFrame(const Trailer &trailer)
{
    Frame frame{};
    frame[0] = kTrailerMarker;
    frame[1] = static_cast<std::uint8_t>(trailer.len & 0xFFu);
    frame[2] = static_cast<std::uint8_t>(trailer.len >> 8);
    frame[3] = static_cast<std::uint8_t>(trailer.crc & 0xFFu);
    frame[4] = static_cast<std::uint8_t>(trailer.crc >> 8);
    frame[5] = trailer.cmd;
    return frame;
}

Trailer parseTrailerFrame(std::span<const std::uint8_t, kFrameSize> frame)
{
    return Trailer{
        static_cast<std::uint16_t>(frame[1] | frame[2] << 8),
        static_cast<std::uint16_t>(frame[3] | frame[4] << 8),
        frame[5],
    };
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
    frame.fill(0);
    if (m_offset < m_payload.size()) {
        const std::size_t n = std::min(m_payload.size() - m_offset, kFramePayloadSize);
        frame[0] = kDataMarker;
        std::copy_n(m_payload.begin() + static_cast<std::ptrdiff_t>(m_offset), n, frame.begin() + 1);
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
