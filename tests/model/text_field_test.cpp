// SPDX-License-Identifier: GPL-3.0-or-later
// The text rules of the record's fixed-width fields and the code page chosen for them.
#include "model/ansi_codec.h"
#include "model/device_record.h"
#include "model/text_field.h"

#include <gtest/gtest.h>

#include <array>

namespace vestra7 {

namespace {

std::string hex(std::span<const std::uint8_t> bytes)
{
    std::string out;
    char buffer[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X ", b);
        out += buffer;
    }
    return out;
}

struct WriteCase
{
    const char *text;
    std::array<std::uint8_t, 16> stored;
};

class TextFieldWrite : public testing::TestWithParam<WriteCase>
{
};

} // namespace

TEST_P(TextFieldWrite, StoresCutAndZeroFilled)
{
    AnsiCodec codec("windows-1252");
    std::array<std::uint8_t, 16> field;
    field.fill(0xEE);
    writeTextField(field, QString::fromUtf8(GetParam().text), codec);
    EXPECT_EQ(hex(field), hex(GetParam().stored));
}

INSTANTIATE_TEST_SUITE_P(
    Widths, TextFieldWrite,
    testing::Values(WriteCase{"", {}}, WriteCase{"Bob", {'B', 'o', 'b'}},
                    WriteCase{"ABCDEFGHIJKLMNOP",
                              {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P'}},
                    WriteCase{"ABCDEFGHIJKLMNOPQRST",
                              {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P'}},
                    WriteCase{"caf\xC3\xA9", {'c', 'a', 'f', 0xE9}},
                    WriteCase{"\xE4\xB8\xAD\xF0\x9F\x98\x80x", {'?', '?', 'x'}}));

TEST(TextField, PartyEntryExample)
{
    AnsiCodec codec("windows-1252");
    PartyEntry entry;
    writeTextField(entry.name, QStringLiteral("Anna"), codec);
    writeTextField(entry.number, QStringLiteral("+123"), codec);
    const std::uint8_t expected[32] = {0x41, 0x6E, 0x6E, 0x61, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       0x2B, 0x31, 0x32, 0x33, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(&entry, expected, sizeof expected), 0);
}

TEST(TextField, FullWidthNameNeverRunsIntoTheNumber)
{
    AnsiCodec codec("windows-1252");
    PartyEntry entry;
    writeTextField(entry.name, QStringLiteral("ABCDEFGHIJKLMNOPQRST"), codec);
    writeTextField(entry.number, QStringLiteral("12345"), codec);
    EXPECT_EQ(readTextField(entry.name, codec), QStringLiteral("ABCDEFGHIJKLMNOP"));
}

TEST(TextField, ReadStopsAtTheFirstZero)
{
    AnsiCodec codec("windows-1252");
    const std::uint8_t field[8] = {'a', 'b', 0, 'c', 'd', 0, 0, 0};
    EXPECT_EQ(readTextField(field, codec), QStringLiteral("ab"));
    const std::uint8_t empty[8] = {};
    EXPECT_TRUE(readTextField(empty, codec).isEmpty());
}

TEST(TextField, CyrillicRoundTripsThroughWindows1251)
{
    AnsiCodec codec("windows-1251");
    std::uint8_t field[16];
    const QString name = QString::fromUtf8("Иван Петров");
    writeTextField(field, name, codec);
    EXPECT_EQ(field[0], 0xC8); // И
    EXPECT_EQ(field[11], 0);
    EXPECT_EQ(readTextField(field, codec), name);
}

TEST(AnsiCodePage, FollowsTheLocaleLanguage)
{
    EXPECT_STREQ(ansiCodePageName(QLocale(QLocale::Russian, QLocale::Russia)), "windows-1251");
    EXPECT_STREQ(ansiCodePageName(QLocale(QLocale::Kazakh)), "windows-1251");
    EXPECT_STREQ(ansiCodePageName(QLocale(QLocale::Polish)), "windows-1250");
    EXPECT_STREQ(ansiCodePageName(QLocale(QLocale::Greek)), "windows-1253");
    EXPECT_STREQ(ansiCodePageName(QLocale(QLocale::Lithuanian)), "windows-1257");
    EXPECT_STREQ(ansiCodePageName(QLocale(QLocale::Thai)), "windows-874");
    EXPECT_STREQ(ansiCodePageName(QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan)),
                 "windows-950");
    EXPECT_STREQ(ansiCodePageName(QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China)),
                 "windows-936");
    EXPECT_STREQ(ansiCodePageName(QLocale(QLocale::German)), "windows-1252");
    EXPECT_STREQ(ansiCodePageName(QLocale::c()), "windows-1252");
}

TEST(AnsiCodePage, EveryChosenCodePageHasAConverter)
{
    for (const char *name : {"windows-1250", "windows-1251", "windows-1252", "windows-1253", "windows-1254",
                             "windows-1255", "windows-1256", "windows-1257", "windows-1258", "windows-874",
                             "windows-932", "windows-936", "windows-949", "windows-950"}) {
        EXPECT_TRUE(QStringEncoder(name).isValid()) << name;
    }
}

} // namespace vestra7
