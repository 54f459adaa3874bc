// SPDX-License-Identifier: GPL-3.0-or-later
// Chunks of the update image.
#include "model/firmware_image.h"

#include "model/byte_span.h"

#include <algorithm>

namespace vestra7 {

void FirmwareImage::load(const QByteArray &file)
{
    m_file = file;
    m_position = 0;
}

std::span<const std::uint8_t> FirmwareImage::bytes() const
{
    return asBytes(m_file);
}

FirmwareChunk FirmwareImage::chunk() const
{
    FirmwareChunk chunk{};
    const std::span<const std::uint8_t> file = bytes();
    if (m_position < file.size()) {
        const std::span<const std::uint8_t> rest = file.subspan(static_cast<std::size_t>(m_position));
        std::copy_n(rest.begin(), std::min(rest.size(), chunk.size()), chunk.begin());
    }
    return chunk;
}

} // namespace vestra7
