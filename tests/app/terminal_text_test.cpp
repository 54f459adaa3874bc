// SPDX-License-Identifier: GPL-3.0-or-later
// What reaches a terminal: outside texts escaped, and the watched line fitted to the terminal's width
// and redrawn in place.
#include "app/status_rows.h"
#include "app/tool_text.h"
#include "model/file_name_bytes.h"
#include "tiny_terminal.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace vestra7 {

namespace {

TEST(EscapedDeviceText, WhatATerminalWouldActOnIsWrittenOutAndTheRestKept)
{
    const struct
    {
        QString text;
        QString escaped;
    } cases[] = {
        {QStringLiteral("\x1b]0;owned\x07\x1b[2J"), QStringLiteral("\\x1b]0;owned\\x07\\x1b[2J")},
        {QStringLiteral("V7\nvestra7: forged\r"), QStringLiteral("V7\\nvestra7: forged\\x0d")},
        {QStringLiteral("a\tb\x7f"), QStringLiteral("a\\tb\\x7f")},
        // C1: an 8-bit terminal's CSI and OSC, as a code page decodes byte 0x9D.
        {QString(QChar(0x9b)) + QStringLiteral("2J") + QChar(0x9d), QStringLiteral("\\x9b2J\\x9d")},
        {QString(QChar(0x202e)) + QStringLiteral("fdp.exe") + QChar(0x2066) + QChar(0x200f),
         QStringLiteral("\\u202efdp.exe\\u2066\\u200f")},
        {QString::fromUcs4(U"tag\U000E0041"), QStringLiteral("tag\\U000e0041")},
        {QStringLiteral("C:\\x1b"), QStringLiteral("C:\\\\x1b")},
        // What only looks like something stays as it is.
        {QStringLiteral("<b>Связь</b> \"ok\" %1"), QStringLiteral("<b>Связь</b> \"ok\" %1")},
        {QString::fromUcs4(U"\U0001F4F6 运营商"), QString::fromUcs4(U"\U0001F4F6 运营商")},
        // A file name's bytes that are not UTF-8 are kept, but not those that are C1 controls.
        {fileNameFromBytes("caf\xe9\x9b.cfg"), fileNameFromBytes("caf\xe9") + QStringLiteral("\\x9b.cfg")},
    };
    for (const auto &[text, escaped] : cases)
        EXPECT_EQ(escapedDeviceText(text), escaped) << text.toStdString();
    EXPECT_EQ(fileNameBytes(escapedDeviceText(fileNameFromBytes("b\xe9\xe9.vcf"))), QByteArray("b\xe9\xe9.vcf"));
}

const QStringList kParts{QStringLiteral("A: ready (1) SIM 1 signal -63 \"Nordline\""),
                         QStringLiteral("B: in a call (4) SIM 1 signal -101 \"Operator B\"")};
const QString kHead = QStringLiteral("V7-2041-000117: ");

TEST(StatusRows, FitTheWidthWithAColumnToSpareAndCutOnlyWhatCannotFit)
{
    const struct
    {
        int width;
        int rows;
        bool whole; // every part shown uncut
    } cases[] = {{200, 1, true}, {80, 2, true}, {50, 2, false}, {30, 2, false}, {1, 2, false}};
    for (const auto &[width, rowCount, whole] : cases) {
        const QStringList rows = fittedRows(kHead, kParts, width);
        EXPECT_EQ(rows.size(), rowCount) << width;
        for (const QString &row : rows)
            EXPECT_LT(displayWidth(row), std::max(width, 2)) << width << ": " << row.toStdString();
        const QString all = rows.join(QLatin1Char('\n'));
        EXPECT_EQ(all.contains(kParts[0]) && all.contains(kParts[1]), whole) << all.toStdString();
        EXPECT_EQ(all.contains(QStringLiteral("…")), !whole) << all.toStdString();
    }
}

TEST(StatusRows, WideCharactersTakeTwoColumns)
{
    const std::string before = std::setlocale(LC_CTYPE, nullptr);
    if (!std::setlocale(LC_CTYPE, "C.UTF-8"))
        GTEST_SKIP() << "no C.UTF-8 locale";
    const QString wide = QString::fromUcs4(U"运营商运营商");
    EXPECT_EQ(displayWidth(wide), 12);
    EXPECT_EQ(cutToWidth(wide, 7), QString::fromUcs4(U"运营商…"));
    EXPECT_EQ(displayWidth(QString::fromUcs4(U"e\u0301")), 1); // a combining accent takes no column
    std::setlocale(LC_CTYPE, before.c_str());
}

TEST(StatusRows, RedrawnInPlaceLeaveOneCopyHoweverTheirNumberChanges)
{
    TinyTerminal terminal(80, 8);
    const QString prompt = QStringLiteral("$ vestra7 status --watch");
    terminal.feed(prompt.toUtf8() + "\r\n");
    qsizetype drawn = 0;
    // More rows scroll the screen; fewer leave nothing of the longer drawing behind.
    for (const int rows : {1, 3, 7, 2, 1, 4}) {
        QStringList lines;
        for (int i = 0; i < rows; ++i)
            lines << QStringLiteral("row %1 of %2").arg(i + 1).arg(rows);
        terminal.feed(redrawnRows(lines, drawn).toUtf8());
        drawn = rows;
        EXPECT_EQ(terminal.rows().mid(terminal.rows().size() - rows), lines);
        EXPECT_EQ(terminal.rows().front(), prompt);
        EXPECT_EQ(terminal.rowsHolding(QStringLiteral("row")), rows) << terminal.rows().join('\n').toStdString();
    }
}

} // namespace

} // namespace vestra7
