// The update file in memory with the transfer's position in it, and how far the transfer has come.
#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>
#include <span>

// The adapter's boot loader takes the firmware in chunks of exactly this size.
inline constexpr std::size_t kFwChunkSize = 544;
using FwChunk = std::array<std::uint8_t, kFwChunkSize>;

class FwImage
{
public:
    // Replaces the content with a whole file; the position goes back to its start.
    void load(const QByteArray &file);

    std::span<const std::uint8_t> bytes() const;
    std::uint64_t size() const { return static_cast<std::uint64_t>(m_file.size()); }
    bool atEnd() const { return position >= size(); }
    // The chunk at the position. The bytes past the end of the file are zero: the last chunk of a
    // payload that is not a whole number of chunks still goes out at full size.
    FwChunk chunk() const;

    // The offset of the next chunk, counted from the start of the file, header included.
    std::uint64_t position = 0;

private:
    QByteArray m_file;
};

// The progress bar's position for a transfer at `position` of `size` bytes: the share times 99.9,
// rounded to the nearest integer with halves to the even one. A position past the end (after a
// padded last chunk) counts as the end; an empty image as nothing done.
int progressBarValue(std::uint64_t position, std::uint64_t size);
// The bar's caption: the share in percent with one decimal, a space and "%", e.g. "50.0 %", with the
// locale's decimal separator.
QString progressCaption(std::uint64_t position, std::uint64_t size, const QLocale &locale = QLocale());
