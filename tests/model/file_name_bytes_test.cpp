// SPDX-License-Identifier: GPL-3.0-or-later
// File names from the command line come back as the same bytes, whatever their encoding.
#include "model/file_name_bytes.h"

#include <gtest/gtest.h>

namespace vestra7 {

TEST(FileNameBytes, EveryByteStringComesBackAndUtf8ReadsAsText)
{
    const struct
    {
        QByteArray bytes;
        QString text; // how valid UTF-8 reads; empty where the bytes are not UTF-8
    } cases[] = {
        {"caf\xc3\xa9.cfg", QStringLiteral("café.cfg")},
        {"\xe6\x97\xa5\xf0\x9f\x93\x9e.vcf", QStringLiteral("日📞.vcf")},
        {"caf\xe9.cfg", {}},      // Latin-1
        {"\xc3", {}},             // cut short at the end
        {"\xed\xb3\xa9", {}},     // an encoded surrogate, which must not read as an escaped byte
        {"\xc0\xaf", {}},         // overlong "/"
        {"\xf4\x90\x80\x80", {}}, // past U+10FFFF
        {"a\xff\xfe\x80z", {}},
    };
    for (const auto &c : cases) {
        const QString name = fileNameFromBytes(c.bytes);
        EXPECT_EQ(fileNameBytes(name), c.bytes) << c.bytes.toHex().toStdString();
        if (!c.text.isEmpty())
            EXPECT_EQ(name, c.text);
        else
            EXPECT_NE(name.toUtf8(), c.bytes) << "bytes that are not UTF-8 read as text";
    }
}

} // namespace vestra7
