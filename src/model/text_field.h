// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the record's fixed-width, zero-padded text fields.
#pragma once

#include <QString>

#include <cstdint>
#include <span>

namespace vestra7 {

class AnsiCodec;

// The bytes up to the first zero, never past the field's end, decoded from the ANSI code page.
QString readTextField(std::span<const std::uint8_t> field, AnsiCodec &codec);
QString readTextField(std::span<const std::uint8_t> field);

// Encodes the text, cuts it to the field's width and zero-fills the rest; a text of the full width
// has no terminator.
void writeTextField(std::span<std::uint8_t> field, const QString &text, AnsiCodec &codec);
void writeTextField(std::span<std::uint8_t> field, const QString &text);

} // namespace vestra7
