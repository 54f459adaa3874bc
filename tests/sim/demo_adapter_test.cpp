// SPDX-License-Identifier: GPL-3.0-or-later
// The demo's adapter state and sample update file.
#include "sim/demo_adapter.h"

#include "model/ansi_codec.h"
#include "model/import_preview.h"
#include "model/phone_book_exchange.h"
#include "model/text_field.h"
#include "model/update_file.h"
#include "sim/emulated_adapter.h"

#include <gtest/gtest.h>

namespace vestra7 {

TEST(DemoAdapter, PhoneBookHasLatinAndCyrillicNamesReadableInItsCodePage)
{
    AnsiCodec codec(kDemoCodePage);
    const DeviceRecord record = demoRecord();
    int cyrillic = 0;
    int filled = 0;
    for (const PartyEntry &entry : record.contact) {
        const QString name = readTextField(entry.name, codec);
        if (name.isEmpty())
            continue;
        ++filled;
        EXPECT_FALSE(name.contains(QLatin1Char('?'))) << name.toStdString();
        EXPECT_GT(readTextField(entry.number, codec).size(), 2) << "a number the call buttons accept";
        if (name.front().script() == QChar::Script_Cyrillic)
            ++cyrillic;
    }
    EXPECT_GE(filled, 10);
    EXPECT_GE(cyrillic, 3);
    EXPECT_LT(cyrillic, filled);
    EXPECT_LE(record.stat[0], 1) << "line A can call";
    EXPECT_LE(record.stat[1], 1) << "line B can call and be called";
    EXPECT_FALSE(readTextField(record.call_list[0].name, codec).isEmpty());
}

TEST(DemoAdapter, UpdateFileNamesTheBootLoadersModelAndCarriesItsPayload)
{
    const std::vector<std::uint8_t> file = demoUpdateFile(1000);
    const std::size_t offset = file[0] | static_cast<std::size_t>(file[1]) << 8;
    ASSERT_EQ(file.size(), offset + 1000);
    const std::string header(reinterpret_cast<const char *>(file.data() + 4));
    EXPECT_EQ(header.rfind("MODEL=VESTRA7 &", 0), 0u) << header;
    EXPECT_LT(4 + header.size(), offset) << "the header ends before the payload";
}

TEST(DemoAdapter, TheUpdateWindowAcceptsTheSampleFileForTheDemoBootLoader)
{
    const std::vector<std::uint8_t> file = demoUpdateFile();
    const auto offset = checkUpdateFile(file, EmulatedIdentity{}.bootProduct);
    ASSERT_TRUE(offset);
    EXPECT_EQ(*offset, file[0] | file[1] << 8);
    EXPECT_FALSE(checkUpdateFile(file, QStringLiteral("VESTRA8 (boot)")));
}

TEST(DemoAdapter, TheSampleContactsShowBothMarksOfTheImportPreviewAndNothingElse)
{
    AnsiCodec codec(kDemoCodePage);
    const PhoneBookImport imported = importPhoneBook(demoContactsFile(), PhoneBookFormat::VCard, codec);
    ASSERT_EQ(imported.parties.size(), 5u);
    const std::vector<PartyPreview> previews = previewImport(imported.parties, codec);
    std::vector<std::pair<bool, bool>> nameMarks; // cut, lossy
    for (const PartyPreview &preview : previews) {
        nameMarks.emplace_back(preview.name.cut, preview.name.lossy);
        EXPECT_FALSE(preview.number.changed()) << preview.number.stored.toStdString();
    }
    EXPECT_EQ(nameMarks, (std::vector<std::pair<bool, bool>>{
                             {false, false}, {true, false}, {false, false}, {false, true}, {false, false}}));
}

} // namespace vestra7
