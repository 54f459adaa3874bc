// SPDX-License-Identifier: GPL-3.0-or-later
// Reassembly, CRC check and dispatch of incoming messages.
#include "link/receiver.h"

#include "link/commands.h"
#include "link/crc.h"
#include "link/frame.h"
#include "model/device_record.h"

namespace vestra7 {

namespace {

// Enough for a record message; larger buffers are given back after use.
constexpr std::size_t kKeptCapacity = dataFrameCount(kRecordSize) * kFramePayloadSize;

} // namespace

Receiver::Receiver(MessageSink &sink)
    : m_sink(sink)
{
    m_collected.reserve(kKeptCapacity);
}

void Receiver::takeReport(std::span<const std::uint8_t> report)
{
    if (report.size() < kFrameSize)
        return;
    const std::span<const std::uint8_t, kFrameSize> frame = report.first<kFrameSize>();

    if (frame[0] == kDataMarker) {
        // Frames without a trailer beyond the largest possible message can only be noise: start over.
        if (m_collected.size() >= kMaxDataFrames * kFramePayloadSize)
            m_collected.clear();
        m_collected.insert(m_collected.end(), frame.begin() + 1, frame.end());
        return;
    }
    if (frame[0] != kTrailerMarker)
        return;

    const Trailer trailer = parseTrailerFrame(frame);
    // A trailer claiming more than was collected cannot be checked without reading past the data.
    if (trailer.len <= m_collected.size()) {
        const std::span<const std::uint8_t> payload = std::span(m_collected).first(trailer.len);
        if (crc16(payload.data(), static_cast<int>(payload.size())) == trailer.crc)
            dispatch(trailer.cmd, payload);
    }
    m_collected.clear();
    if (m_collected.capacity() > kKeptCapacity) {
        m_collected.shrink_to_fit();
        m_collected.reserve(kKeptCapacity);
    }
}

void Receiver::dispatch(std::uint8_t cmd, std::span<const std::uint8_t> payload)
{
    if (isUpdateCommand(cmd)) {
        m_sink.updateReplyReceived(cmd, payload);
        return;
    }
    if (cmd == CMD_POLL || cmd == CMD_WRITE_RECORD) {
        if (payload.empty())
            m_sink.recordReceived(cmd, {});
        else if (payload.size() >= kRecordSize) // a partial record is never stored
            m_sink.recordReceived(cmd, payload.first(kRecordSize));
        return;
    }
    if (cmd == CMD_TEXT)
        m_sink.textReceived();
}

} // namespace vestra7
