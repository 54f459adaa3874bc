// SPDX-License-Identifier: GPL-3.0-or-later
// Showing the adapter's record: the party edits and the focus, the list rows, the line buttons and
// their glyphs, the settings panel; and the connected and disconnected states.
#include "main_window_fixture.h"

#include "support/record_builders.h"
#include "widgets/glyph_button.h"
#include "widgets/glyph_pictures.h"
#include "widgets/spin_selector.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QTableWidget>
#include <QTest>

namespace vestra7 {

namespace {

class RefreshTest : public MainWindowTest
{
protected:
    QLineEdit *name = child<QLineEdit>("partyNameEdit");
    QLineEdit *number = child<QLineEdit>("partyNumberEdit");
    QTableWidget *clist = child<QTableWidget>("phoneBookList");
    QTableWidget *calls = child<QTableWidget>("callList");
    DeviceRecord record = readyRecord();
};

TEST_F(RefreshTest, PartyEditsShowTheActiveLineUnlessOneOfThemHasTheFocus)
{
    record.act_line = 1;
    record.subscriber[0] = makeParty("Ann", "111");
    record.subscriber[1] = makeParty("Bo\rb", "+2\r22");
    receive(record);
    EXPECT_EQ(name->text(), "Bob");
    EXPECT_EQ(number->text(), "+222");

    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    number->setFocus();
    QTest::keyClicks(number, "9");
    record.subscriber[1] = makeParty("Carl", "333");
    receive(record);
    EXPECT_EQ(name->text(), "Bob");
    EXPECT_EQ(number->text(), "+2229");

    // Still the window's focused control while another window is active.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    receive(record);
    EXPECT_EQ(number->text(), "+2229");

    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    clist->setFocus();
    receive(record);
    EXPECT_EQ(name->text(), "Carl");
    EXPECT_EQ(number->text(), "333");

    // The adapter may report an active line that has no entry: nothing is shown for it.
    record.act_line = 7;
    receive(record);
    EXPECT_EQ(name->text(), "");
    EXPECT_EQ(number->text(), "");
    EXPECT_EQ(adapter.takeChanges(), Changes{});
}

TEST_F(RefreshTest, RowsShowEveryEntryAndAreRewrittenInPlace)
{
    EXPECT_EQ(clist->rowCount(), 0);
    record.contact[0] = makeParty("ABCDEFGHIJKLMNOP", "555"); // 16 bytes: no terminator before the number
    record.contact[1] = makeParty("Dee\r", "12");
    record.call_list[15] = makeParty("Last", "999");
    receive(record);
    ASSERT_EQ(clist->rowCount(), 32);
    ASSERT_EQ(calls->rowCount(), 16);
    EXPECT_EQ(clist->item(0, 0)->text(), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(clist->item(0, 1)->text(), "555");
    EXPECT_EQ(clist->item(1, 0)->text(), "Dee\r");
    EXPECT_EQ(calls->item(15, 0)->text(), "Last");

    clist->selectRow(3);
    EXPECT_EQ(adapter.takeChanges(), (Changes{change::SelectParty{{"", ""}}}));
    QTableWidgetItem *const rowThree = clist->item(3, 0);
    record.contact[3] = makeParty("New", "444");
    record.contact[0] = {};
    receive(record);
    EXPECT_EQ(clist->rowCount(), 32);
    EXPECT_EQ(clist->item(3, 0), rowThree);
    EXPECT_EQ(rowThree->text(), "New");
    EXPECT_EQ(clist->item(0, 0)->text(), "");
    EXPECT_EQ(clist->selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(clist->selectionModel()->isRowSelected(3));
    EXPECT_EQ(adapter.takeChanges(), Changes{});
}

TEST_F(RefreshTest, LineButtonsFollowTheLineStatesAndChangeGlyphsOnlyWhenTheirStateChanges)
{
    auto *callA = child<GlyphButton>("callButtonLineA");
    auto *hangUpA = child<GlyphButton>("hangUpButtonLineA");
    auto *callB = child<GlyphButton>("callButtonLineB");
    auto *hangUpB = child<GlyphButton>("hangUpButtonLineB");
    ASSERT_FALSE(glyphPicture("nON").isNull());
    EXPECT_EQ(callA->glyph(), glyphPicture("ON"));
    EXPECT_EQ(hangUpA->glyph(), glyphPicture("OFF"));

    record.stat[0] = 2;
    record.stat[1] = 0;
    record.subscriber[0] = makeParty("Ann", "12");
    receive(record);
    EXPECT_FALSE(callA->isEnabled());
    EXPECT_FALSE(hangUpA->isEnabled());
    EXPECT_FALSE(callB->isEnabled()); // two characters are not a number yet
    EXPECT_EQ(callA->glyph(), glyphPicture("nON"));
    EXPECT_EQ(hangUpA->glyph(), glyphPicture("nOFF"));
    EXPECT_EQ(hangUpB->glyph(), glyphPicture("nOFF"));

    const qint64 loaded = callA->glyph().cacheKey();
    receive(record);
    EXPECT_EQ(callA->glyph().cacheKey(), loaded);

    record.subscriber[0] = makeParty("Ann", "123");
    record.stat[0] = 3;
    receive(record);
    EXPECT_TRUE(callB->isEnabled());
    EXPECT_TRUE(hangUpA->isEnabled());
    EXPECT_FALSE(callA->isEnabled());
    EXPECT_EQ(callB->glyph(), glyphPicture("ON"));
    EXPECT_EQ(hangUpA->glyph(), glyphPicture("OFF"));
    EXPECT_EQ(callA->glyph(), glyphPicture("nON"));
    EXPECT_FALSE(hangUpB->isEnabled());
}

TEST_F(RefreshTest, SettingsShowOutOfRangeValuesClampedAndKeepThemUntilStepped)
{
    auto *mic = child<SpinSelector>("micGainSelector");
    record.mic_gain = static_cast<std::int8_t>(200); // -56
    record.spk_gain = 120;
    record.auto_answer[0] = 255;
    record.auto_answer[1] = 150;
    receive(record);
    EXPECT_EQ(mic->text(), "0 dB    ");
    EXPECT_EQ(child<SpinSelector>("lineGainSelector")->text(), "+ 99 dB");
    EXPECT_EQ(child<SpinSelector>("autoAnswerASelector")->text(), "100 sec");
    EXPECT_EQ(child<SpinSelector>("autoAnswerBSelector")->text(), "100 sec");
    EXPECT_EQ(adapter.takeChanges(), Changes{}); // showing changed every selector, and asked nothing

    record.mic_gain = 40;
    receive(record);
    EXPECT_EQ(mic->text(), "+22.5 dB");
    QTest::keyClick(mic, Qt::Key_Up);
    EXPECT_EQ(adapter.takeChanges(), Changes{});
    QTest::keyClick(mic, Qt::Key_Down);
    EXPECT_EQ(adapter.takeChanges(), Changes{change::SetMicGain{14}});
}

TEST_F(RefreshTest, DisconnectedWindowIsCoveredAndOnlyTheUpdateEntryAndHelpAreUsable)
{
    auto *overlay = child<QWidget>("overlay");
    auto *settings = child<QWidget>("settingsPanel");
    const QList<QAction *> entries = child<QMenuBar>("mainMenu")->actions();
    QStringList captions;
    for (QAction *entry : entries)
        captions << entry->text().remove(QLatin1Char('&')); // the mnemonics' marks are not shown
    EXPECT_EQ(captions,
              (QStringList{"File", "Update firmware", "Settings", "Set to default", "About", "Help", "Tools"}));
    EXPECT_EQ(window.centralWidget()->size(), QSize(565, 427));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());

    settings->show();
    emit adapter.connectionChanged(false);
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->geometry(), QRect(10, 10, 545, 407));
    EXPECT_EQ(window.centralWidget()->children().constLast(), overlay); // in front of the settings panel
    EXPECT_FALSE(child<QWidget>("linePanel")->isEnabled());
    EXPECT_FALSE(settings->isEnabled());
    for (qsizetype i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i]->isEnabled(), i == 1 || i == 5) << i;

    emit adapter.connectionChanged(true);
    EXPECT_FALSE(overlay->isVisible());
    EXPECT_TRUE(settings->isVisible());
    EXPECT_TRUE(settings->isEnabled());
    for (QAction *entry : entries)
        EXPECT_TRUE(entry->isEnabled());
}

TEST_F(RefreshTest, TypingSurvivesAPassingDisconnection)
{
    receive(record);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    name->setFocus();
    QTest::keyClicks(name, "Half");
    // Another device came or went: every enumeration passes through the disconnected state.
    emit adapter.connectionChanged(false);
    emit adapter.connectionChanged(true);
    receive(record);
    EXPECT_EQ(name->text(), "Half");
    EXPECT_TRUE(name->hasFocus());
}

} // namespace

} // namespace vestra7
