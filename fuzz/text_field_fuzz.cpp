// SPDX-License-Identifier: GPL-3.0-or-later
// The record's text fields read from any bytes, in single- and double-byte code pages, and written
// back: never a byte outside the field, and a written text always reads back as a prefix of itself.
#include "model/ansi_codec.h"
#include "model/text_field.h"

#include <cstdlib>
#include <vector>

using namespace vestra7;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static AnsiCodec codecs[] = {AnsiCodec("windows-1251"), AnsiCodec("windows-1252"), AnsiCodec("windows-932")};
    if (size < 2)
        return 0;
    AnsiCodec &codec = codecs[data[0] % 3];
    const std::size_t width = 1 + data[1] % 128;
    // The field is exactly `width` bytes of its own, so that a read past it is caught.
    std::vector<std::uint8_t> field(data + 2, data + 2 + std::min(size - 2, width));
    field.resize(width, 0);
    const QString text = readTextField(field, codec);

    std::vector<std::uint8_t> written(width, 0xEE);
    writeTextField(written, text, codec);
    const QString again = readTextField(written, codec);
    if (again.size() > text.size() + 1) // a cut double-byte character may decode to one replacement
        std::abort();
    return 0;
}
