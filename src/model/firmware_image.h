// SPDX-License-Identifier: GPL-3.0-or-later
// An update file in memory with the transfer's position in it, cut into the boot loader's chunks.
#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <span>

namespace vestra7 {

// The adapter's boot loader takes the firmware in chunks of exactly this size.
inline constexpr std::size_t kFirmwareChunkSize = 544;
using FirmwareChunk = std::array<std::uint8_t, kFirmwareChunkSize>;

class FirmwareImage
{
public:
    // Replaces the content with a whole file; the position goes back to its start.
    void load(const QByteArray &file);

    std::span<const std::uint8_t> bytes() const;
    std::uint64_t size() const { return static_cast<std::uint64_t>(m_file.size()); }

    // The offset of the next chunk, counted from the start of the file, header included.
    std::uint64_t position() const { return m_position; }
    void setPosition(std::uint64_t position) { m_position = position; }
    // On to the next chunk.
    void advance() { m_position += kFirmwareChunkSize; }
    bool atEnd() const { return m_position >= size(); }

    // The chunk at the position. The bytes past the end of the file are zero: the last chunk of a
    // payload that is not a whole number of chunks still goes out at full size.
    FirmwareChunk chunk() const;

private:
    QByteArray m_file;
    std::uint64_t m_position = 0;
};

} // namespace vestra7
