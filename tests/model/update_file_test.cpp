// SPDX-License-Identifier: GPL-3.0-or-later
// The update file check, the chunks cut from the image and the progress figures: pure functions.
#include "support/update_test_files.h"

#include "model/ansi_codec.h"
#include "model/byte_span.h"
#include "model/firmware_image.h"
#include "model/update_file.h"
#include "model/update_progress.h"

#include <gtest/gtest.h>

#include <string>

namespace vestra7 {

namespace {

struct ModelCase
{
    const char *what;
    std::string headerText;
    QString deviceName;
    bool accepted;
};

void PrintTo(const ModelCase &c, std::ostream *os)
{
    *os << c.what;
}

class ModelMatch : public testing::TestWithParam<ModelCase>
{
};

const QString kBoot = QStringLiteral("VESTRA7(boot)");

INSTANTIATE_TEST_SUITE_P(
    UpdateFile, ModelMatch,
    testing::Values(
        ModelCase{"model key first", "MODEL=VESTRA7&VERSION=1.2", kBoot, true},
        ModelCase{"model key found anywhere", "DATE=2021 MODEL=VESTRA7&VERSION=1.2", kBoot, true},
        ModelCase{"the first model key counts", "MODEL=VESTRA7&MODEL=OTHER&", kBoot, true},
        ModelCase{"a later model key does not", "MODEL=OTHER&MODEL=VESTRA7&", kBoot, false},
        ModelCase{"ampersand right behind the key gives an empty name", "MODEL=&VESTRA7", kBoot, false},
        ModelCase{"an empty name matches an empty device name", "MODEL=&VESTRA7", QStringLiteral("(boot)"), true},
        ModelCase{"without ampersand the name runs to the end", "MODEL=VESTRA7", kBoot, true},
        ModelCase{"without ampersand later keys belong to the name", "MODEL=VESTRA7 VERSION=1.2", kBoot, false},
        ModelCase{"ampersand before the key: the whole rest is the name", "VERSION=1.2&MODEL=VESTRA7&DATE=5", kBoot,
                  false},
        ModelCase{"ampersand before the key: a device named like the rest", "VERSION=1.2&MODEL=VESTRA7&DATE=5",
                  QStringLiteral("VESTRA7&DATE=5(boot)"), true},
        ModelCase{"model name in other letter case", "MODEL=Vestra7&", kBoot, false},
        ModelCase{"key in other letter case", "model=VESTRA7&", kBoot, false},
        ModelCase{"no model key", "VERSION=1.2&", kBoot, false},
        ModelCase{"the space before (boot) stays and must end the name", "MODEL=VESTRA7 &",
                  QStringLiteral("VESTRA7 (boot)"), true},
        ModelCase{"a name without that space", "MODEL=VESTRA7&", QStringLiteral("VESTRA7 (boot)"), false},
        ModelCase{"only the first (boot) is taken out", "MODEL=V7(boot)&", QStringLiteral("V7(boot)(boot)"), true},
        ModelCase{"a device name without (boot) is taken as it is", "MODEL=VESTRA7&", QStringLiteral("VESTRA7"),
                  true}));

TEST_P(ModelMatch, AcceptsOnlyTheNamedModel)
{
    const std::vector<std::uint8_t> file = updateFile(GetParam().headerText, payloadBytes(600));
    const Result<std::uint16_t, UpdateFileFault> offset = checkUpdateFile(file, GetParam().deviceName);
    EXPECT_EQ(offset.ok(), GetParam().accepted);
    if (!offset) {
        EXPECT_EQ(offset.error(), UpdateFileFault::OtherModel);
    }
    if (offset) {
        EXPECT_EQ(*offset, 4 + GetParam().headerText.size() + 1);
    }
}

TEST(UpdateFile, TheModelNameIsEightBitTextInTheSystemCodePage)
{
    const std::uint8_t euroInWindows1252 = 0x80; // outside Latin-1 and not UTF-8 on its own
    const QString name = AnsiCodec::system().decode(std::span(&euroInWindows1252, 1));
    ASSERT_NE(name, QString(QChar(0x80)));
    const std::string header = std::string("MODEL=V") + char(euroInWindows1252) + "&";
    EXPECT_TRUE(checkUpdateFile(updateFile(header, {1}), QStringLiteral("V") + name + QStringLiteral("(boot)")));
}

TEST(UpdateFile, PayloadOffsetIsLittleEndianAndBytesTwoAndThreeMeanNothing)
{
    std::vector<std::uint8_t> file = updateFile("MODEL=VESTRA7&", payloadBytes(10), 0x0123);
    EXPECT_EQ(checkUpdateFile(file, kBoot).value(), 0x0123);
    for (const std::uint8_t filler : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
        file[2] = filler;
        file[3] = filler;
        EXPECT_EQ(checkUpdateFile(file, kBoot).value(), 0x0123) << int(filler);
    }
    // The payload may start at the very start of the file, header included.
    file[0] = 0;
    file[1] = 0;
    EXPECT_EQ(checkUpdateFile(file, kBoot).value(), 0);
}

TEST(UpdateFile, AFileWithNothingBehindItsHeaderIsIncorrect)
{
    const std::vector<std::uint8_t> headerOnly = updateFile("MODEL=VESTRA7&", {});
    EXPECT_EQ(checkUpdateFile(headerOnly, kBoot).error(), UpdateFileFault::NoPayload);
    std::vector<std::uint8_t> pastTheEnd = updateFile("MODEL=VESTRA7&", payloadBytes(10));
    for (const std::size_t offset : {pastTheEnd.size(), pastTheEnd.size() + 1, std::size_t{0xFFFF}}) {
        pastTheEnd[0] = static_cast<std::uint8_t>(offset & 0xFF);
        pastTheEnd[1] = static_cast<std::uint8_t>(offset >> 8);
        const Result<std::uint16_t, UpdateFileFault> checked = checkUpdateFile(pastTheEnd, kBoot);
        ASSERT_FALSE(checked) << offset;
        EXPECT_EQ(checked.error(), UpdateFileFault::NoPayload) << offset;
    }
    pastTheEnd[0] = static_cast<std::uint8_t>((pastTheEnd.size() - 1) & 0xFF);
    pastTheEnd[1] = static_cast<std::uint8_t>((pastTheEnd.size() - 1) >> 8);
    EXPECT_TRUE(checkUpdateFile(pastTheEnd, kBoot)) << "one byte of payload is one chunk";
}

TEST(UpdateFile, TheFirmwaresOwnNameMatchesWithBlanksAroundIgnored)
{
    const std::vector<std::uint8_t> file = updateFile("MODEL=VESTRA7 &VERSION=1.3", payloadBytes(10));
    EXPECT_TRUE(updateFileNamesModel(file, QStringLiteral("VESTRA7")));
    EXPECT_TRUE(updateFileNamesModel(file, QStringLiteral(" VESTRA7  ")));
    EXPECT_FALSE(updateFileNamesModel(file, QStringLiteral("VESTRA8")));
    EXPECT_FALSE(updateFileNamesModel(file, QStringLiteral("vestra7")));
    EXPECT_FALSE(checkUpdateFile(file, QStringLiteral("VESTRA7(boot)"))) << "the boot loader's name is matched exactly";
}

TEST(UpdateFile, AFileWithoutAWholeHeaderIsRefused)
{
    // Exactly sized vectors: a check that reads past the end shows up under the address sanitizer.
    for (std::size_t size = 0; size <= 4; ++size)
        EXPECT_EQ(checkUpdateFile(std::vector<std::uint8_t>(size, 0), QStringLiteral("(boot)")).error(),
                  UpdateFileFault::NoHeader)
            << size;
    EXPECT_TRUE(checkUpdateFile(std::vector<std::uint8_t>(5, 0), QStringLiteral("(boot)")))
        << "an empty header text names the empty model";

    std::vector<std::uint8_t> unended = updateFile("MODEL=VESTRA7", {});
    unended.pop_back();
    const Result<std::uint16_t, UpdateFileFault> checked = checkUpdateFile(unended, kBoot);
    ASSERT_FALSE(checked) << "no zero byte ends the header text";
    EXPECT_EQ(checked.error(), UpdateFileFault::NoHeader);
}

TEST(FirmwareImage, ChunksAreFullSizeWithZerosPastTheEndOfTheFile)
{
    const std::vector<std::uint8_t> file = payloadBytes(1000);
    FirmwareImage image;
    image.load(toByteArray(file));
    image.setPosition(100);
    FirmwareChunk chunk = image.chunk();
    EXPECT_TRUE(std::equal(chunk.begin(), chunk.end(), file.begin() + 100));

    image.setPosition(644);
    chunk = image.chunk();
    EXPECT_TRUE(std::equal(file.begin() + 644, file.end(), chunk.begin()));
    EXPECT_TRUE(std::all_of(chunk.begin() + 356, chunk.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_FALSE(image.atEnd());

    image.setPosition(1188);
    EXPECT_TRUE(image.atEnd());

    image.load(QByteArray("abc"));
    EXPECT_EQ(image.position(), 0u) << "a new file starts at its beginning";
    EXPECT_EQ(image.size(), 3u);
}

struct ProgressCase
{
    std::uint64_t position;
    std::uint64_t size;
    int bar;
    const char *caption;
};

TEST(UpdateProgress, BarUsesTheFactor99Point9RoundedHalfToEvenAndTheCaption100)
{
    const ProgressCase cases[] = {
        {0, 1000, 0, "0.0 %"},        {1088, 2176, 50, "50.0 %"}, // 49.95 rounds up to 50
        {1990, 2000, 99, "99.5 %"},                               // 99.4005: the bar does not reach 100 before the end
        {5, 27, 18, "18.5 %"},                                    // exactly 18.5 on the bar: to the even 18
        {25, 37, 68, "67.6 %"},                                   // exactly 67.5 on the bar: to the even 68
        {2000, 2000, 100, "100.0 %"},                             //
        {2720, 2176, 100, "100.0 %"},                             // past the end after a padded last chunk
        {544, 0, 0, "0.0 %"},                                     // an acknowledgement with no file loaded
    };
    for (const ProgressCase &c : cases) {
        EXPECT_EQ(progressBarValue(c.position, c.size), c.bar) << c.position << "/" << c.size;
        EXPECT_EQ(progressCaption(c.position, c.size, QLocale::c()), QString::fromLatin1(c.caption))
            << c.position << "/" << c.size;
    }
    EXPECT_EQ(progressCaption(1088, 2176, QLocale(QLocale::German)), QStringLiteral("50,0 %"));
}

} // namespace

} // namespace vestra7
