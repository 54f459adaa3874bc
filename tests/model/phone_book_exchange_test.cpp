// SPDX-License-Identifier: GPL-3.0-or-later
// Phone-book files: round trips through both formats, what each format tolerates, and the preview
// of what the adapter will store.
#include "model/ansi_codec.h"
#include "model/csv_format.h"
#include "model/import_preview.h"
#include "model/phone_book_exchange.h"
#include "model/text_field.h"
#include "model/vcard_format.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vestra7 {

// Found by GoogleTest next to Party, so failures show the texts.
void PrintTo(const Party &party, std::ostream *os)
{
    *os << '{' << party.name.toStdString() << ", " << party.number.toStdString() << '}';
}

namespace {

QString utf8(const char *text)
{
    return QString::fromUtf8(text);
}

std::vector<Party> vcards(const QString &text)
{
    std::vector<Party> out;
    readVCards(text, [&out](Party &&party) { out.push_back(std::move(party)); });
    return out;
}

std::vector<Party> csv(const QString &text)
{
    std::vector<Party> out;
    readCsv(text, [&out](Party &&party) { out.push_back(std::move(party)); });
    return out;
}

std::vector<Party> parties(std::initializer_list<std::pair<const char *, const char *>> list)
{
    std::vector<Party> out;
    for (const auto &[name, number] : list)
        out.push_back({utf8(name), utf8(number)});
    return out;
}

// Every entry used, Cyrillic in windows-1251, texts of the full width and the characters each
// format must escape or quote.
DeviceRecord fullPhoneBook(AnsiCodec &codec)
{
    DeviceRecord record{};
    const char *const names[] = {"Иван Петров",      "Doe, John",        "a;b\\c",         "He said \"hi\"",
                                 "ABCDEFGHIJKLMNOP", "Щука-Ёжикова Юля", " leading blank", "trailing blank "};
    for (int i = 0; i < kContactCount; ++i) {
        const QString name = i < static_cast<int>(std::size(names)) ? utf8(names[i]) : utf8("Контакт %1").arg(i);
        const QString number = i == 4 ? QStringLiteral("+123456789012345") : QStringLiteral("+7912000%1#").arg(i);
        writeParty(record.contact[i], {name, number}, codec);
    }
    return record;
}

class PhoneBookFileRoundTrip : public testing::TestWithParam<const char *>
{
};

} // namespace

TEST_P(PhoneBookFileRoundTrip, AllEntriesComeBackByteForByte)
{
    AnsiCodec codec("windows-1251");
    const DeviceRecord original = fullPhoneBook(codec);
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QString::fromLatin1(GetParam()));
    ASSERT_TRUE(exportPhoneBookFile(fileName, original, codec));

    // The file is UTF-8, so the fallback code page must not be needed to read it.
    AnsiCodec latin("windows-1252");
    const Result<PhoneBookImport> imported = importPhoneBookFile(fileName, latin);
    ASSERT_TRUE(imported);
    EXPECT_EQ(imported->leftOut, 0);
    EXPECT_EQ(imported->parties, phoneBookParties(original, codec));

    DeviceRecord restored{};
    applyImport(restored, imported->parties, codec);
    EXPECT_EQ(std::memcmp(restored.contact, original.contact, sizeof original.contact), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, PhoneBookFileRoundTrip, testing::Values("book.vcf", "book.CSV"));

TEST(VCardWrite, EscapesTextAndFoldsLongLinesBetweenCharacters)
{
    const QByteArray written = writeVCards(parties({{"Doe, John; a\\b\nc", "+1,2"}, {"Anna", ""}}));
    EXPECT_EQ(written, QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\n"
                                  "FN:Doe\\, John\\; a\\\\b\\nc\r\nN:;;;;\r\n"
                                  "TEL:+1\\,2\r\nEND:VCARD\r\n"
                                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\nN:;;;;\r\nEND:VCARD\r\n"));

    // Two-byte letters at odd offsets: a fold at exactly 75 octets would split one.
    const QString longName = QStringLiteral("x") + utf8("Ж").repeated(100);
    const QByteArray folded = writeVCards({{{longName, QString()}}});
    for (const QByteArray &line : folded.split('\n')) {
        EXPECT_LE(line.size(), 76) << line.constData(); // 75 octets and the CR
        QStringDecoder decoder(QStringConverter::Utf8);
        decoder.decode(line);
        EXPECT_FALSE(decoder.hasError()) << "a character was split across lines";
    }
    EXPECT_EQ(vcards(QString::fromUtf8(folded)), (std::vector<Party>{{longName, QString()}}));
}

TEST(VCardRead, ToleratesOlderAndNewerCards)
{
    const QString text = utf8("begin:vcard\n"
                              "VERSION:2.1\n"
                              "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=D0=98=D0=B2=D0=B0=D0=BD;=\n"
                              "=D0=9F=D0=B5=D1=82=D1=80;;;\n" // a soft line break in the value
                              "TEL;HOME;VOICE:111\n"
                              "TEL;CELL:222\n"
                              "END:VCARD\n"
                              "BEGIN:VCARD\r\n"
                              "VERSION:4.0\r\n"
                              "FN:Long na\r\n"
                              " me\r\n"
                              "item1.TEL;VALUE=uri;TYPE=\"voice,cell\":tel:+333\r\n"
                              "END:VCARD\r\n"
                              "BEGIN:VCARD\n"
                              "VERSION:3.0\n"
                              "N:Family;Given;;Dr.;\n"
                              "TEL;TYPE=work:444\n"
                              "TEL;TYPE=home:555\n"
                              "END:VCARD\n"
                              "BEGIN:VCARD\nVERSION:3.0\nEMAIL:nobody@example.org\nEND:VCARD\n"
                              "TEL:999 outside any card\n");
    EXPECT_EQ(vcards(text), parties({{"Петр Иван", "222"}, {"Long name", "+333"}, {"Dr. Given Family", "444"}}));
}

TEST(CsvWrite, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(writeCsv(parties({{"Plain", "123"}, {"Doe, John", "1;2"}, {"Say \"hi\"", " 5"}, {"two\nlines", ""}})),
              // Numbers a spreadsheet would read as numbers are marked as text (see CsvTextCells).
              QByteArray("\xEF\xBB\xBFName,Number\r\nPlain,'123\r\n\"Doe, John\",\"1;2\"\r\n\"Say \"\"hi\"\"\",' 5\r\n"
                         "\"two\nlines\",\r\n"));
}

TEST(CsvRead, SeparatorHeaderAndQuoting)
{
    // Semicolons, no header, a quoted separator, a doubled quote, a line break and an empty line.
    EXPECT_EQ(csv(utf8("Anna;+1\r\n\"Doe; John\";\"2\"\r\n\r\n\"Say \"\"hi\"\"\nthere\" ; 3 \n  Bob  ;")),
              parties({{"Anna", "+1"}, {"Doe; John", "2"}, {"Say \"hi\"\nthere", "3"}, {"Bob", ""}}));
    // A header of any wording is recognised by a second column without digits.
    EXPECT_EQ(csv(utf8("Имя,Телефон\nMum,\n")), parties({{"Mum", ""}}));
    EXPECT_EQ(csv(utf8("Mum,\nDad,7\n")), parties({{"Mum", ""}, {"Dad", "7"}}));
    EXPECT_EQ(csv(utf8("Name\tNumber\tNote\nAnna\t12\tx, y\n")), parties({{"Anna", "12"}}));
}

struct CsvCase
{
    const char *what;
    const char *text;
    std::vector<std::pair<const char *, const char *>> expected;
};

class CsvColumns : public testing::TestWithParam<CsvCase>
{
};

TEST_P(CsvColumns, NameAndNumberAsTheFileMeansThem)
{
    std::vector<Party> expected;
    for (const auto &[name, number] : GetParam().expected)
        expected.push_back({utf8(name), utf8(number)});
    EXPECT_EQ(csv(utf8(GetParam().text)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, CsvColumns,
    testing::Values(
        CsvCase{"whole name, typed numbers",
                "Name,Given Name,Additional Name,Family Name,Phone 1 - Type,Phone 1 - Value\n"
                "Иван Петров,Иван,,Петров,Mobile,+7 912 345\n,Anna,Maria,Schmidt,Home,030 1\n",
                {{"Иван Петров", "+7 912 345"}, {"Anna Maria Schmidt", "030 1"}}},
        CsvCase{"mobile before other numbers",
                "First Name,Middle Name,Last Name,Business Phone,Mobile Phone\nJohn,,Doe,111,222\nJane,,Roe,333,\n",
                {{"John Doe", "222"}, {"Jane Roe", "333"}}},
        CsvCase{"Russian headers",
                "Фамилия;Имя;Отчество;Телефон\nПетров;Иван;Ильич;8 495 1\n",
                {{"Иван Ильич Петров", "8 495 1"}}},
        CsvCase{"number column first", "Телефон,Имя\n123,Мама\n", {{"Мама", "123"}}},
        CsvCase{"number first without a header",
                "+7 912 345,Анна Мария\n112,Emergency Line\nBob,7\n",
                {{"Анна Мария", "+7 912 345"}, {"Emergency Line", "112"}, {"Bob", "7"}}},
        CsvCase{"byte-order mark before the header", "\xEF\xBB\xBFName,Number\nAnna,1\n", {{"Anna", "1"}}}),
    [](const testing::TestParamInfo<CsvCase> &param) {
        std::string name = param.param.what;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });

TEST(PhoneBookImportTest, NamesKeepTheirBlanksAndLoseLineBreaks)
{
    AnsiCodec codec("windows-1251");
    const QByteArray file = "\"Anna\r\nMaria  von\nBerg\",+49 30 1\n2 3 4,Peter  Paul\n";
    EXPECT_EQ(importPhoneBook(file, PhoneBookFormat::Csv, codec).parties,
              parties({{"Anna Maria  von Berg", "+49301"}, {"Peter  Paul", "234"}}));
    const QByteArray card = "BEGIN:VCARD\nFN:Anna\\nMaria\nTEL:1\nEND:VCARD\nBEGIN:VCARD\nTEL:-\nEND:VCARD\n";
    EXPECT_EQ(importPhoneBook(card, PhoneBookFormat::VCard, codec).parties, parties({{"Anna Maria", "1"}}));
}

TEST(PhoneBookImportTest, AStrayByteInUtf8IsMarkedNotTakenForACodePage)
{
    AnsiCodec cyrillic("windows-1251");
    const QByteArray file = "Иван Петров,1\nJos\xE9,2\n";
    const PhoneBookImport imported = importPhoneBook(file, PhoneBookFormat::Csv, cyrillic);
    EXPECT_EQ(imported.parties, parties({{"Иван Петров", "1"}, {"Jos\uFFFD", "2"}}));
    const std::vector<PartyPreview> preview = previewImport(imported.parties, cyrillic);
    EXPECT_FALSE(preview[0].changed());
    EXPECT_TRUE(preview[1].name.undecodable);

    // UTF-16 with a surrogate whose partner is missing: no character, so marked the same way.
    const QByteArray utf16("\xFF\xFE"
                           "A\x00"
                           "\x00\xD8"
                           ",\x00"
                           "1\x00",
                           10);
    EXPECT_EQ(importPhoneBook(utf16, PhoneBookFormat::Csv, cyrillic).parties, parties({{"A\uFFFD", "1"}}));
}

TEST(PhoneBookImportTest, DecodesAndCleansNumbers)
{
    AnsiCodec cyrillic("windows-1251");
    // A spreadsheet's CSV in the system code page, not UTF-8.
    const QByteArray legacy = cyrillic.encode(utf8("Иван;+7 (912) 345-67.89\n"));
    EXPECT_EQ(importPhoneBook(legacy, PhoneBookFormat::Csv, cyrillic).parties, parties({{"Иван", "+79123456789"}}));

    const QByteArray bom = "\xEF\xBB\xBFName,Number\nAnna,1\n";
    EXPECT_EQ(importPhoneBook(bom, PhoneBookFormat::Csv, cyrillic).parties, parties({{"Anna", "1"}}));

    EXPECT_EQ(importFormatFor(QStringLiteral("contacts.txt"), "\n\nbegin:vcard\n"), PhoneBookFormat::VCard);
    EXPECT_EQ(importFormatFor(QStringLiteral("contacts.txt"), "Name,Number\n"), PhoneBookFormat::Csv);
    EXPECT_EQ(importFormatFor(QStringLiteral("contacts.VCF"), ""), PhoneBookFormat::VCard);
}

TEST(PhoneBookImportTest, KeepsTheFirst32AndCountsTheRest)
{
    AnsiCodec codec("windows-1252");
    QByteArray csv;
    for (int i = 1; i <= 40; ++i)
        csv += "Party " + QByteArray::number(i) + "," + QByteArray::number(i) + "\n";
    const PhoneBookImport imported = importPhoneBook(csv, PhoneBookFormat::Csv, codec);
    ASSERT_EQ(imported.parties.size(), 32u);
    EXPECT_EQ(imported.parties.back(), (Party{QStringLiteral("Party 32"), QStringLiteral("32")}));
    EXPECT_EQ(imported.leftOut, 8);
}

TEST(ImportPreview, MarksCutAndLostCharactersByEncodedBytes)
{
    AnsiCodec cyrillic("windows-1251");
    const std::vector<PartyPreview> preview =
        previewImport(parties({{"Щука-Ёжикова Юля", "12345678901234567"}, {"Li 李", "1"}}), cyrillic);
    ASSERT_EQ(preview.size(), 2u);
    // Sixteen Cyrillic letters are sixteen bytes in this code page: they fit.
    EXPECT_FALSE(preview[0].name.changed());
    EXPECT_EQ(preview[0].name.stored, utf8("Щука-Ёжикова Юля"));
    EXPECT_TRUE(preview[0].number.cut);
    EXPECT_FALSE(preview[0].number.lossy);
    EXPECT_EQ(preview[0].number.stored, QStringLiteral("1234567890123456"));
    EXPECT_TRUE(preview[1].name.lossy);
    EXPECT_FALSE(preview[1].name.cut);
    // A zero ends the field's text: what follows it is lost.
    EXPECT_TRUE(previewField(QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("c"), cyrillic).lossy);
    EXPECT_EQ(preview[1].name.stored, QStringLiteral("Li ?"));
    EXPECT_FALSE(preview[1].number.changed());

    // Nine characters of two bytes each do not fit, though nine characters would.
    AnsiCodec japanese("windows-932");
    const FieldPreview wide = previewField(utf8("東京都港区芝公園四"), japanese);
    EXPECT_TRUE(wide.cut);
    EXPECT_FALSE(wide.lossy);
    EXPECT_EQ(wide.stored, utf8("東京都港区芝公園"));
}

TEST(ImportPreview, ApplyReplacesOnlyThePhoneBook)
{
    AnsiCodec codec("windows-1252");
    DeviceRecord record;
    for (std::size_t i = 0; i < kRecordSize; ++i)
        record.bytes()[i] = static_cast<std::uint8_t>(i * 13 + 1);
    const DeviceRecord before = record;

    applyImport(record, parties({{"A", "1"}, {"B", "2"}}), codec);
    EXPECT_EQ(readParty(record.contact[1], codec), (Party{QStringLiteral("B"), QStringLiteral("2")}));
    for (int i = 2; i < kContactCount; ++i)
        EXPECT_TRUE(
            std::all_of(record.contact[i].name, std::end(record.contact[i].number), [](auto b) { return b == 0; }))
            << "entry " << i;
    const std::size_t start = offsetof(DeviceRecord, contact);
    const std::size_t end = offsetof(DeviceRecord, call_list);
    EXPECT_EQ(std::memcmp(&record, &before, start), 0);
    EXPECT_EQ(std::memcmp(record.bytes().data() + end, before.bytes().data() + end, kRecordSize - end), 0);
}

} // namespace vestra7
