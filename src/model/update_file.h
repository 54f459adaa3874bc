// SPDX-License-Identifier: GPL-3.0-or-later
// The update file: whether it is meant for the connected adapter, and where its firmware payload starts.
#pragma once

#include "model/result.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

namespace vestra7 {

// Bytes 0 and 1 hold the payload offset (little-endian), bytes 2 and 3 are not looked at, and the
// header text runs from byte 4 to the first zero byte.
inline constexpr std::size_t kHeaderTextOffset = 4;

// The model that a header text names: what follows the first "MODEL=", up to the first "&" of the
// whole text when that lies behind "MODEL=", else to the end of the text. Empty without "MODEL=".
QString updateModelName(std::span<const std::uint8_t> headerText);

// The header text of a file: from byte 4 up to its first zero byte; nothing when no zero byte ends it.
std::optional<std::span<const std::uint8_t>> updateHeaderText(std::span<const std::uint8_t> file);

// The firmware version a header text names: what follows the first "VERSION=" up to the next "&",
// or to the end of the text. Empty without "VERSION=". It plays no part in whether a file fits.
QString updateVersion(std::span<const std::uint8_t> headerText);

// Why a file cannot update the named device.
enum class UpdateFileFault {
    NoHeader,   // no zero byte behind byte 4 ends its header text
    NoPayload,  // the payload would start at or past the file's end: there is no firmware to send
    OtherModel, // the model it names differs from the device's (exactly, letter case included)
};

// The payload offset of a file meant for the named device, or why it cannot update that device.
// Nothing past the end of `file` is read.
Result<std::uint16_t, UpdateFileFault> checkUpdateFile(std::span<const std::uint8_t> file, const QString &deviceName);

// Whether the file names the model of an adapter that runs its firmware, blanks around both names
// ignored: the firmware and the files need not agree on a trailing blank, which only the boot
// loader's name, checked exactly, settles.
bool updateFileNamesModel(std::span<const std::uint8_t> file, const QString &product);

} // namespace vestra7
