// SPDX-License-Identifier: GPL-3.0-or-later
// "Tools" > "Text encoding": an adapter's texts read in the code page remembered for it, and read
// again in the one chosen.
#include "main_window_fixture.h"

#include "model/ansi_codec.h"
#include "model/code_page_memory.h"
#include "model/text_field.h"
#include "ui/line_status_window.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTableWidget>

#include <cstring>

namespace vestra7 {

namespace {

const QString kName = QStringLiteral("Иван Петров");
const QString kOperator = QStringLiteral("Связь");

class CodePageTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        QSettings(QCoreApplication::applicationName(), QStringLiteral("adapters")).clear();
        // A desktop whose language reads the adapter's bytes as Western European text, as LC_ALL=C.
        AnsiCodec::useCodePage("windows-1252");
        window.setLineStatusWindow(&lineStatus);
        emit adapter.connectionChanged(true);
        AnsiCodec cyrillic("windows-1251");
        writeTextField(record.contact[0].name, kName, cyrillic);
        writeTextField(record.contact[0].number, QStringLiteral("+79001234567"), cyrillic);
        writeTextField(record.ops[0], kOperator, cyrillic);
        record.act_line = 0;
        record.subscriber[0] = record.contact[0];
    }
    void TearDown() override { AnsiCodec::useCodePage(nullptr); }

    // The adapter with this key is claimed and sends its record.
    void claim(const QString &key)
    {
        const AdapterIdentity identity{QStringLiteral("VESTRA7"), QStringLiteral("V7-0001"), QStringLiteral("1.2"),
                                       key};
        adapter.setIdentity(identity);
        emit adapter.identityChanged(identity);
        receive(record);
    }

    // Every place the window shows one of the adapter's texts.
    QStringList shownTexts()
    {
        return {child<QTableWidget>("phoneBookList")->item(0, 0)->text(), child<QLineEdit>("partyNameEdit")->text(),
                lineStatus.findChild<QLabel *>(QStringLiteral("operatorA"))->text()};
    }

    QAction *choice(const char *name) { return child<QMenu>("codePageMenu")->findChild<QAction *>(name); }

    DeviceRecord record{};
    LineStatusWindow lineStatus{adapter};
};

} // namespace

TEST_F(CodePageTest, TheRememberedCodePageReadsTheAdaptersTexts)
{
    rememberCodePage(QStringLiteral("V7-0001@1-1"), QStringLiteral("windows-1251"));
    lineStatus.show();
    claim(QStringLiteral("V7-0001@1-1"));
    EXPECT_EQ(shownTexts(), (QStringList{kName, kName, kOperator}));
    EXPECT_TRUE(choice("windows-1251")->isChecked());

    // Another adapter, with nothing remembered, reads as the desktop's language has it.
    claim(QStringLiteral("V7-0009"));
    EXPECT_TRUE(choice("windows-1252")->isChecked());
    EXPECT_NE(shownTexts().first(), kName);
}

TEST_F(CodePageTest, AChoiceReadsEveryShownTextAgainAndIsRemembered)
{
    lineStatus.show();
    claim(QStringLiteral("V7-0002"));
    EXPECT_EQ(shownTexts().first(), QStringLiteral("Èâàí Ïåòðîâ"));
    // Also the edit the user is in shows the party as the new code page reads it.
    child<QLineEdit>("partyNameEdit")->setFocus();

    choice("windows-1251")->trigger();
    EXPECT_EQ(shownTexts(), (QStringList{kName, kName, kOperator}));
    EXPECT_FALSE(choice("windows-1252")->isChecked());
    EXPECT_EQ(rememberedCodePage(QStringLiteral("V7-0002")), "windows-1251");
    EXPECT_EQ(rememberedCodePage(QStringLiteral("V7-0001@1-1")), "") << "only the adapter in use";
}

} // namespace vestra7
