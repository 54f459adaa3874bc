// SPDX-License-Identifier: GPL-3.0-or-later
// The import preview's marks: a warning sign on every changed field whether or not an icon theme is
// installed, and notes that count characters where they differ from the bytes a field holds.
#include "model/ansi_codec.h"
#include "ui/import_preview_dialog.h"

#include <QIcon>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace vestra7 {

TEST(ImportPreviewDialogTest, MarksChangesWithoutAnIconThemeAndCountsCharacters)
{
    QIcon::setThemeName(QStringLiteral("no-such-theme")); // as on a desktop without any theme
    AnsiCodec japanese("windows-932");
    const std::vector<Party> parties{{QString::fromUtf8("東京都港区芝公園四"), QStringLiteral("1")},
                                     {QStringLiteral("ABCDEFGHIJKLMNOPQ"), QString::fromUtf8("2\uFFFD")},
                                     {QStringLiteral("Anna"), QStringLiteral("3")}};
    ImportPreviewDialog dialog(parties, 0, japanese);
    const auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("entryTable"));
    ASSERT_TRUE(table);

    EXPECT_FALSE(table->item(0, 0)->icon().isNull()) << "the changed name has no warning sign";
    EXPECT_FALSE(table->item(1, 1)->icon().isNull());
    EXPECT_TRUE(table->item(2, 0)->icon().isNull()) << "an unchanged name is not marked";

    // Eight two-byte characters fill the 16 bytes; sixteen one-byte ones need no count.
    EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("name cut to 16 bytes, which hold 8 characters"));
    EXPECT_TRUE(table->item(1, 2)->text().startsWith(QStringLiteral("name cut to 16 bytes; number holds bytes")))
        << table->item(1, 2)->text().toStdString();
}

} // namespace vestra7
