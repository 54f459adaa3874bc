// SPDX-License-Identifier: GPL-3.0-or-later
// CSV cells that a spreadsheet would run as formulas or take for numbers are written as text, and
// read back as they were; numeric columns stay numbers.
#include "model/ansi_codec.h"
#include "model/csv_format.h"
#include "model/phone_book_exchange.h"
#include "model/signal_history.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

struct CellCase
{
    const char *text;
    const char *cell; // as the file holds it
};

class CsvTextCells : public testing::TestWithParam<CellCase>
{
};

std::vector<Party> readBack(const QByteArray &csv)
{
    std::vector<Party> parties;
    readCsv(QString::fromUtf8(csv), [&parties](Party &&party) { parties.push_back(std::move(party)); });
    return parties;
}

} // namespace

TEST_P(CsvTextCells, ReadAsTextByASpreadsheetAndAsGivenOnImport)
{
    const QString text = QString::fromUtf8(GetParam().text);
    EXPECT_EQ(csvTextCell(text), QString::fromUtf8(GetParam().cell));
    // Both as a name and as a number, in a file of the program's own.
    const std::vector<Party> parties{{text, QStringLiteral("1")}, {QStringLiteral("x"), text}};
    const QByteArray csv = writeCsv(parties);
    EXPECT_TRUE(csv.contains(QByteArray("\r\n") + GetParam().cell + ",'1\r\n")) << csv.toStdString();
    EXPECT_EQ(readBack(csv), parties);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, CsvTextCells,
    testing::Values(CellCase{"=1+1", "'=1+1"}, CellCase{"@SUM(1+1)", "'@SUM(1+1)"},
                    CellCase{"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
                    CellCase{"=HYPERLINK(\"http://x\";\"y\")", "\"'=HYPERLINK(\"\"http://x\"\";\"\"y\"\")\""},
                    CellCase{"-2+3", "'-2+3"}, CellCase{"+79161234567", "'+79161234567"},
                    CellCase{"0049301234567", "'0049301234567"}, CellCase{"112", "'112"}, CellCase{"1/2", "'1/2"},
                    CellCase{"12:30", "'12:30"}, CellCase{"1e5", "'1e5"},
                    CellCase{"(495) 123-45-67", "'(495) 123-45-67"}, CellCase{"  =1", "'  =1"},
                    CellCase{"\t=1", "'\t=1"}, CellCase{"\rA", "\"'\rA\""}, CellCase{"=a,b", "\"'=a,b\""},
                    // Apostrophes of the text's own: added to only where one would be taken for the mark.
                    CellCase{"'Tis me", "'Tis me"}, CellCase{"'=1", "''=1"}, CellCase{"''0049", "'''0049"},
                    CellCase{"'", "'"}, CellCase{"Anna", "Anna"}, CellCase{"*100#", "*100#"},
                    CellCase{"Bee 2", "Bee 2"}, CellCase{"Иван =1", "Иван =1"}, CellCase{"e", "e"}));

TEST(CsvTextCells, ACellMarkedByASpreadsheetReadsAsItsText)
{
    EXPECT_EQ(readBack("Name,Number\r\n'=Mum,'0049 30 1\r\n'Tis,\r\n"),
              (std::vector<Party>{{"=Mum", "0049 30 1"}, {"'Tis", ""}}));
}

TEST(CsvTextCells, AnExportedPhoneBookImportsWithEveryNameAndNumber)
{
    AnsiCodec codec("windows-1251");
    const std::vector<Party> book{{"=1+1", "+79161234567"},
                                  {"@SUM(1+1)", "0049301234567"},
                                  {"-Ivan", "112"},
                                  {"'=x", "*100#"},
                                  {"+7 Petrov", "+123456789012"}};
    DeviceRecord record{};
    for (std::size_t i = 0; i < book.size(); ++i)
        writeParty(record.contact[i], book[i], codec);
    const PhoneBookImport imported =
        importPhoneBook(exportPhoneBook(record, PhoneBookFormat::Csv, codec), PhoneBookFormat::Csv, codec);
    EXPECT_EQ(imported.parties, book);
}

TEST(CsvTextCells, SignalLevelsStayPlainNumbers)
{
    SignalHistory history;
    const qint64 time = QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5, 6), Qt::UTC).toMSecsSinceEpoch();
    history.append({time, {-70, 0}});
    const QByteArray csv = history.toCsv(QStringLiteral("+49"));
    EXPECT_TRUE(csv.endsWith(",-70,0,'+49\r\n")) << csv.toStdString();
    EXPECT_EQ(csv.count('\''), 1) << csv.toStdString();
}

} // namespace vestra7
