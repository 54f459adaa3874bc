// Chunks of the update image and the progress figures of its transfer.
#include "model/firmware_image.h"

#include <algorithm>
#include <cmath>

namespace {

double doneShare(std::uint64_t position, std::uint64_t size)
{
    if (size == 0)
        return 0;
    return static_cast<double>(std::min(position, size)) / static_cast<double>(size);
}

} // namespace

void FwImage::load(const QByteArray &file)
{
    m_file = file;
    position = 0;
}

std::span<const std::uint8_t> FwImage::bytes() const
{
    return {reinterpret_cast<const std::uint8_t *>(m_file.constData()), static_cast<std::size_t>(m_file.size())};
}

FwChunk FwImage::chunk() const
{
    FwChunk chunk{};
    const std::span<const std::uint8_t> file = bytes();
    if (position < file.size()) {
        const std::span<const std::uint8_t> rest = file.subspan(static_cast<std::size_t>(position));
        std::copy_n(rest.begin(), std::min(rest.size(), chunk.size()), chunk.begin());
    }
    return chunk;
}

int progressBarValue(std::uint64_t position, std::uint64_t size)
{
    // std::nearbyint rounds in the current mode, which is to nearest with ties to even.
    return static_cast<int>(std::nearbyint(doneShare(position, size) * 99.9));
}

QString progressCaption(std::uint64_t position, std::uint64_t size, const QLocale &locale)
{
    return locale.toString(doneShare(position, size) * 100, 'f', 1) + QStringLiteral(" %");
}
