// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed-width text fields of the device record.
#include "model/text_field.h"

#include "model/ansi_codec.h"

#include <algorithm>

namespace vestra7 {

QString readTextField(std::span<const std::uint8_t> field, AnsiCodec &codec)
{
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return codec.decode(field.first(static_cast<std::size_t>(end - field.begin())));
}

QString readTextField(std::span<const std::uint8_t> field)
{
    return readTextField(field, AnsiCodec::system());
}

void writeTextField(std::span<std::uint8_t> field, const QString &text, AnsiCodec &codec)
{
    const QByteArray encoded = codec.encode(text);
    const std::size_t count = std::min(field.size(), static_cast<std::size_t>(encoded.size()));
    std::copy_n(encoded.begin(), count, field.begin());
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(count), field.end(), std::uint8_t{0});
}

void writeTextField(std::span<std::uint8_t> field, const QString &text)
{
    writeTextField(field, text, AnsiCodec::system());
}

} // namespace vestra7
