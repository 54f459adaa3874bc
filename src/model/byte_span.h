// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's byte arrays seen as the spans of bytes that records, update files and code pages are read as, and back.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <span>

namespace vestra7 {

// The array's own bytes, not a copy: valid while the array lives and is not changed.
inline std::span<const std::uint8_t> asBytes(const QByteArray &bytes)
{
    return {reinterpret_cast<const std::uint8_t *>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}
// A temporary array would be gone before its span is read.
std::span<const std::uint8_t> asBytes(const QByteArray &&) = delete;

// A copy of the bytes.
inline QByteArray toByteArray(std::span<const std::uint8_t> bytes)
{
    return {reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

} // namespace vestra7
