// Line control and phone-book editing: calls and hang-ups, the active line, picking parties from
// the lists, storing with Enter, the number filter, and deleting rows.
#include "main_window_fixture.h"

#include "sim/emulated_adapter.h"
#include "widgets/glyph_button.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <cstring>

namespace {

class LineControlTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        for (int i = 0; i < kContactCount; ++i)
            record.contact[i] = makeParty("C" + std::to_string(i), std::to_string(100 + i));
        for (int i = 0; i < kCallListCount; ++i)
            record.call_list[i] = makeParty("L" + std::to_string(i), std::to_string(500 + i));
        receive(record);
    }

    void clickRow(QTableWidget *list, int row, Qt::KeyboardModifiers modifiers = {})
    {
        list->scrollToItem(list->item(row, 0));
        const QRect cell = list->visualItemRect(list->item(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, cell.center());
    }

    QLineEdit *name = child<QLineEdit>("partyNameEdit");
    QLineEdit *number = child<QLineEdit>("partyNumberEdit");
    QTableWidget *clist = child<QTableWidget>("phoneBookList");
    QTableWidget *calls = child<QTableWidget>("callList");
    DeviceRecord record = initialAdapterRecord();
};

bool sameParty(const PartyEntry &a, const PartyEntry &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(LineControlTest, CallButtonSendsTheEditsAsItsOwnLinesParty)
{
    record.subscriber[0] = makeParty("Ann", "111");
    receive(record); // line B's call button is usable now
    name->setText("Carol");
    number->setText("+380501234567");
    QTest::mouseClick(child<GlyphButton>("callButtonLineB"), Qt::LeftButton);
    const auto posted = takePosted();
    ASSERT_TRUE(posted);
    EXPECT_EQ(textOf(posted->subscriber[1].name), "Carol");
    const std::uint8_t expected[16] = {'+', '3', '8', '0', '5', '0', '1', '2', '3', '4', '5', '6', '7', 0, 0, 0};
    EXPECT_EQ(std::memcmp(posted->subscriber[1].number, expected, 16), 0);
    EXPECT_EQ(posted->resp[1], 1);
    EXPECT_EQ(posted->resp[0], 0);
    EXPECT_TRUE(sameParty(posted->subscriber[0], record.subscriber[0]));
}

TEST_F(LineControlTest, HangUpWithEmptyEditsKeepsTheLinesParty)
{
    record.subscriber[0] = makeParty("Dan", "222");
    record.stat[0] = 3;
    receive(record);
    name->clear();
    number->clear();
    QTest::mouseClick(child<GlyphButton>("hangUpButtonLineA"), Qt::RightButton);
    const auto posted = takePosted();
    ASSERT_TRUE(posted);
    EXPECT_TRUE(sameParty(posted->subscriber[0], record.subscriber[0]));
    EXPECT_EQ(posted->resp[0], -1);
    EXPECT_EQ(posted->resp[1], 0);
}

TEST_F(LineControlTest, LineLabelsChooseTheActiveLine)
{
    QTest::mouseClick(child<QLabel>("lineBLabel"), Qt::LeftButton);
    const auto posted = takePosted();
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->act_line, 1);
    QTest::mouseClick(child<QLabel>("lineALabel"), Qt::LeftButton);
    EXPECT_EQ(takePosted()->act_line, 0);
}

TEST_F(LineControlTest, EverySelectedRowBecomesTheActivePartyInTurn)
{
    record.act_line = 1;
    record.call_list[2] = makeParty("", "777");
    record.subscriber[1] = makeParty("Old", "1");
    receive(record);
    clickRow(calls, 2);
    auto posted = takePosted();
    ASSERT_TRUE(posted);
    EXPECT_EQ(std::count(std::begin(posted->subscriber[1].name), std::end(posted->subscriber[1].name), 0), 16);
    EXPECT_EQ(textOf(posted->subscriber[1].number), "777");
    EXPECT_EQ(window.selectedRow(), 2);
    clickRow(calls, 2); // already selected: nothing new
    EXPECT_FALSE(takePosted());

    clickRow(clist, 2);
    EXPECT_TRUE(sameParty(takePosted()->subscriber[1], record.contact[2]));
    clickRow(clist, 5, Qt::ShiftModifier);
    EXPECT_EQ(clist->selectionModel()->selectedRows().size(), 4);
    EXPECT_EQ(window.selectedRow(), 5);
    posted = takePosted();
    ASSERT_TRUE(posted);
    EXPECT_TRUE(sameParty(posted->subscriber[1], record.contact[5]));

    // A line the record has no entry for takes no party.
    record.act_line = 2;
    receive(record);
    clickRow(calls, 7);
    EXPECT_EQ(window.selectedRow(), 7);
    EXPECT_FALSE(takePosted());
}

TEST_F(LineControlTest, EnterStoresTheEditsUncutInTheRowOfTheLastSelection)
{
    clickRow(calls, 3);
    takePosted();
    name->setFocus();
    name->setText("Twenty characters!!!");
    number->setText("+4912");
    QTest::keyClick(name, Qt::Key_Return);
    const auto posted = takePosted();
    ASSERT_TRUE(posted);
    EXPECT_EQ(textOf(posted->contact[3].name), "Twenty character");
    EXPECT_EQ(textOf(posted->contact[3].number), "+4912");
    EXPECT_TRUE(sameParty(posted->contact[2], record.contact[2]));
    EXPECT_EQ(clist->item(3, 0)->text(), "Twenty characters!!!");
    EXPECT_EQ(calls->item(3, 0)->text(), "L3");

    receive(*posted);
    EXPECT_EQ(clist->item(3, 0)->text(), "Twenty character");
}

TEST_F(LineControlTest, NumberEditTakesDigitsPlusAndCopyPasteOnly)
{
    number->clear();
    number->setFocus();
    QTest::keyClicks(number, "a *#+1 2");
    QTest::keyClick(number, Qt::Key_Return);
    takePosted();
    EXPECT_EQ(number->text(), "+12");
    QTest::keyClick(number, Qt::Key_Backspace);
    EXPECT_EQ(number->text(), "+1");

    QApplication::clipboard()->setText("x9");
    QTest::keyClick(number, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(number->text(), "+1x9"); // pasted text is not filtered
    number->selectAll();
    QTest::keyClick(number, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(number->text(), "+1x9");
    QTest::keyClick(number, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(number->text(), "+1x9");

    name->clear();
    QTest::keyClicks(name, "a *#");
    EXPECT_EQ(name->text(), "a *#");
}

TEST_F(LineControlTest, DeleteInThePhoneBookAsksThenMovesTheEntriesUp)
{
    QTest::keyClick(clist, Qt::Key_Delete);
    EXPECT_TRUE(questions.isEmpty()); // nothing selected
    EXPECT_FALSE(takePosted());

    clickRow(clist, 0);
    ASSERT_TRUE(takePosted());
    const DeviceRecord before = link.record;
    confirmAnswer = false;
    QTest::keyClick(clist, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(questions, QStringList{"Delete contact?"});
    EXPECT_FALSE(takePosted());
    EXPECT_EQ(std::memcmp(&link.record, &before, sizeof before), 0);

    confirmAnswer = true;
    QTest::keyClick(clist, Qt::Key_Delete);
    const auto posted = takePosted();
    ASSERT_TRUE(posted);
    for (int i = 0; i < 31; ++i)
        EXPECT_TRUE(sameParty(posted->contact[i], record.contact[i + 1])) << i;
    EXPECT_TRUE(sameParty(posted->contact[31], PartyEntry{}));
    EXPECT_TRUE(sameParty(posted->subscriber[0], record.contact[0])); // the deletion selected nothing new
    EXPECT_EQ(clist->rowCount(), 32);
    EXPECT_EQ(clist->item(0, 0)->text(), "C1");
}

TEST_F(LineControlTest, DeleteInTheCallListAsksNothing)
{
    clickRow(calls, 15);
    takePosted();
    QTest::keyClick(calls, Qt::Key_Delete);
    EXPECT_TRUE(questions.isEmpty());
    const auto posted = takePosted();
    ASSERT_TRUE(posted);
    for (int i = 0; i < 15; ++i)
        EXPECT_TRUE(sameParty(posted->call_list[i], record.call_list[i])) << i;
    EXPECT_TRUE(sameParty(posted->call_list[15], PartyEntry{}));
    EXPECT_TRUE(sameParty(posted->contact[31], record.contact[31]));
}

// Deleting a row in the middle of either list, with bytes behind the texts' terminators that a
// round trip through the rows' texts would lose: the record sent is the one before with exactly that
// entry removed, and a following Enter does not overwrite the entry that moved up into the row.
TEST_F(LineControlTest, DeletionSendsExactlyTheRecordWithThatRowRemoved)
{
    for (PartyEntry &entry : record.contact)
        entry.name[14] = 0x7F;
    for (PartyEntry &entry : record.call_list)
        entry.number[15] = 0x55;
    record.subscriber[0] = makeParty("Active", "12345");
    receive(record);

    struct Case
    {
        QTableWidget *list;
        PartyEntry *entries;
        std::size_t count;
    };
    for (const Case &c : {Case{clist, link.record.contact, kContactCount}, Case{calls, link.record.call_list, kCallListCount}}) {
        SCOPED_TRACE(c.list->objectName().toStdString());
        clickRow(c.list, 3);
        ASSERT_TRUE(takePosted());
        DeviceRecord expected = link.record;
        const auto offset = reinterpret_cast<std::uint8_t *>(c.entries) - link.record.bytes().data();
        auto *expectedEntries = reinterpret_cast<PartyEntry *>(expected.bytes().data() + offset);
        removeEntry(std::span(expectedEntries, c.count), 3);

        QTest::keyClick(c.list, Qt::Key_Delete);
        const auto posted = takePosted();
        ASSERT_TRUE(posted);
        EXPECT_EQ(std::memcmp(&*posted, &expected, sizeof expected), 0);
        EXPECT_EQ(window.selectedRow(), 3);

        // Enter stores the edits into a free entry, if any, never over the one that moved up.
        QTest::keyClick(name, Qt::Key_Return);
        EXPECT_TRUE(sameParty(link.record.contact[3], expected.contact[3]));
        if (const auto stored = takePosted())
            receive(*stored);
    }
    EXPECT_EQ(textOf(link.record.contact[31].name), "Active");
}

} // namespace
