// SPDX-License-Identifier: GPL-3.0-or-later
// Any file checked as an update file against any device name, and the chunks cut from an accepted
// one: a file is accepted only when its header is whole and names the device, and the transfer sends exactly
// its payload, never a byte from beyond it.
#include "model/boot_loader_name.h"
#include "model/firmware_image.h"
#include "model/update_file.h"
#include "model/update_progress.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <span>

using namespace vestra7;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// The header text worked out here independently: from byte 4 up to the first zero byte.
std::optional<std::span<const std::uint8_t>> headerTextOf(std::span<const std::uint8_t> file)
{
    if (file.size() <= kHeaderTextOffset)
        return std::nullopt;
    const std::span<const std::uint8_t> rest = file.subspan(kHeaderTextOffset);
    const auto zero = std::find(rest.begin(), rest.end(), std::uint8_t{0});
    if (zero == rest.end())
        return std::nullopt;
    return std::span<const std::uint8_t>(rest.begin(), zero);
}

// Cuts the accepted file into chunks as the transfer does, checking each against the file.
void checkChunks(std::span<const std::uint8_t> file, std::uint16_t payloadOffset)
{
    FirmwareImage image;
    // Shares the fuzzer's own, exactly sized buffer: a read past the file's end is caught.
    image.load(
        QByteArray::fromRawData(reinterpret_cast<const char *>(file.data()), static_cast<qsizetype>(file.size())));
    image.setPosition(payloadOffset);
    const std::size_t payloadSize = file.size() - payloadOffset;
    std::size_t chunks = 0;
    while (!image.atEnd()) {
        const FirmwareChunk chunk = image.chunk();
        const std::size_t at = static_cast<std::size_t>(image.position());
        const std::size_t taken = std::min(kFirmwareChunkSize, file.size() - at);
        require(std::equal(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(taken),
                           file.begin() + static_cast<std::ptrdiff_t>(at)));
        require(std::all_of(chunk.begin() + static_cast<std::ptrdiff_t>(taken), chunk.end(),
                            [](std::uint8_t b) { return b == 0; }));
        const int bar = progressBarValue(image.position(), image.size());
        require(bar >= 0 && bar <= 100);
        image.advance();
        ++chunks;
    }
    require(chunks > 0 && chunks == (payloadSize + kFirmwareChunkSize - 1) / kFirmwareChunkSize);
    require(progressBarValue(image.position(), image.size()) == 100);
}

} // namespace

// Input: a mode byte, a length byte and that many bytes of device name (UTF-8), then the file.
// Mode bit 0 set: the device name is the one the file's own header names, with "(boot)" put in
// front of it or behind it (bit 1), so that the accepting paths are reached as often as the
// refusing ones.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t mode = data[0];
    const std::size_t nameLength = std::min<std::size_t>(data[1], size - 2);
    const std::span<const std::uint8_t> file(data + 2 + nameLength, size - 2 - nameLength);
    const std::optional<std::span<const std::uint8_t>> headerText = headerTextOf(file);

    QString deviceName;
    bool nameFromFile = false;
    if ((mode & 1) && headerText) {
        const QString model = updateModelName(*headerText);
        const QString mark = QStringLiteral("(boot)");
        // Behind the name only when the name holds no "(boot)" of its own, which would be taken out first.
        deviceName = (mode & 2) && !model.contains(mark) ? model + mark : mark + model;
        nameFromFile = true;
    } else {
        deviceName = QString::fromUtf8(reinterpret_cast<const char *>(data + 2), static_cast<qsizetype>(nameLength));
    }

    const Result<std::uint16_t, UpdateFileFault> payloadOffset = checkUpdateFile(file, deviceName);
    // A file with nothing behind its header is refused whatever it names.
    const bool payload = file.size() >= 2 && static_cast<std::size_t>(file[0] | file[1] << 8) < file.size();
    if (nameFromFile)
        require(payloadOffset.ok() == (headerText.has_value() && payload));
    if (!payloadOffset)
        return 0;
    require(payload);

    require(headerText.has_value());
    require(*payloadOffset == (file[0] | file[1] << 8));
    require(updateModelName(*headerText) == deviceModelName(deviceName));
    checkChunks(file, *payloadOffset);
    return 0;
}
