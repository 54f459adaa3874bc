// SPDX-License-Identifier: GPL-3.0-or-later
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

TEST_F(LineControlTest, CallButtonAsksForACallWithTheEditsAsItsOwnLinesParty)
{
    record.subscriber[0] = makeParty("Ann", "111");
    receive(record); // line B's call button is usable now
    name->setText("Carol");
    number->setText("+380501234567");
    QTest::mouseClick(child<GlyphButton>("callButtonLineB"), Qt::LeftButton);
    EXPECT_EQ(adapter.takeChanges(), (Changes{change::Call{1, {"Carol", "+380501234567"}}}));
}

TEST_F(LineControlTest, HangUpWithEmptyEditsAsksWithAnEmptyPartySoTheLineKeepsItsOwn)
{
    record.subscriber[0] = makeParty("Dan", "222");
    record.stat[0] = 3;
    receive(record);
    name->clear();
    number->clear();
    QTest::mouseClick(child<GlyphButton>("hangUpButtonLineA"), Qt::RightButton);
    EXPECT_EQ(adapter.takeChanges(), (Changes{change::HangUp{0, {"", ""}}}));
}

TEST_F(LineControlTest, LineLabelsChooseTheActiveLine)
{
    QTest::mouseClick(child<QLabel>("lineBLabel"), Qt::LeftButton);
    QTest::mouseClick(child<QLabel>("lineALabel"), Qt::LeftButton);
    EXPECT_EQ(adapter.takeChanges(), (Changes{change::SetActiveLine{1}, change::SetActiveLine{0}}));
}

TEST_F(LineControlTest, EverySelectedRowBecomesTheActivePartyInTurn)
{
    record.act_line = 1;
    record.call_list[2] = makeParty("", "777");
    record.subscriber[1] = makeParty("Old", "1");
    receive(record);
    clickRow(calls, 2);
    EXPECT_EQ(adapter.takeChanges(), (Changes{change::SelectParty{{"", "777"}}}));
    EXPECT_EQ(window.selectedRow(), 2);
    clickRow(calls, 2); // already selected: nothing new
    EXPECT_EQ(adapter.takeChanges(), Changes{});

    clickRow(clist, 2);
    EXPECT_EQ(adapter.takeChanges(), (Changes{change::SelectParty{{"C2", "102"}}}));
    clickRow(clist, 5, Qt::ShiftModifier);
    EXPECT_EQ(clist->selectionModel()->selectedRows().size(), 4);
    EXPECT_EQ(window.selectedRow(), 5);
    EXPECT_EQ(adapter.takeChanges(), (Changes{change::SelectParty{{"C3", "103"}}, change::SelectParty{{"C4", "104"}},
                                              change::SelectParty{{"C5", "105"}}}));

    // A line the record has no entry for takes no party.
    record.act_line = 2;
    receive(record);
    clickRow(calls, 7);
    EXPECT_EQ(window.selectedRow(), 7);
    EXPECT_EQ(adapter.takeChanges(), Changes{});
}

TEST_F(LineControlTest, EnterStoresTheEditsUncutInTheRowOfTheLastSelection)
{
    clickRow(calls, 3);
    adapter.takeChanges();
    name->setFocus();
    name->setText("Twenty characters!!!");
    number->setText("+4912");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(adapter.takeChanges(), (Changes{change::StoreContact{3, {"Twenty characters!!!", "+4912"}}}));
    EXPECT_EQ(clist->item(3, 0)->text(), "Twenty characters!!!");
    EXPECT_EQ(calls->item(3, 0)->text(), "L3");

    // The adapter's reply holds the name cut to its field.
    record.contact[3] = makeParty("Twenty character", "+4912");
    receive(record);
    EXPECT_EQ(clist->item(3, 0)->text(), "Twenty character");
}

TEST_F(LineControlTest, NumberEditTakesDigitsPlusAndCopyPasteOnly)
{
    number->clear();
    number->setFocus();
    QTest::keyClicks(number, "a *#+1 2");
    QTest::keyClick(number, Qt::Key_Return);
    adapter.takeChanges();
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

TEST_F(LineControlTest, PartyEditsTakeOnlyWhatTheirRecordFieldsHoldAndTheNumberFilterStillHolds)
{
    name->clear();
    name->setFocus();
    QTest::keyClicks(name, "Seventeen letters");
    EXPECT_EQ(name->text(), "Seventeen letter");
    name->clear();
    QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QStringLiteral("\u674E"), {}); // not in the code page
    EXPECT_EQ(name->text(), "");

    number->clear();
    number->setFocus();
    QTest::keyClicks(number, "+38050123x45678901");
    EXPECT_EQ(number->text(), "+380501234567890");
    number->clear();
    QApplication::clipboard()->setText("12345678901234567");
    QTest::keyClick(number, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(number->text(), ""); // one byte too many: the paste is refused whole
}

TEST_F(LineControlTest, DeleteInThePhoneBookAsksThenAsksTheAdapterForThatRowAlone)
{
    QTest::keyClick(clist, Qt::Key_Delete);
    EXPECT_TRUE(questions.isEmpty()); // nothing selected
    EXPECT_EQ(adapter.takeChanges(), Changes{});

    clickRow(clist, 0);
    adapter.takeChanges();
    confirmAnswer = false;
    QTest::keyClick(clist, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(questions, QStringList{"Delete contact?"});
    EXPECT_EQ(adapter.takeChanges(), Changes{});
    EXPECT_EQ(clist->item(0, 0)->text(), "C0");

    confirmAnswer = true;
    QTest::keyClick(clist, Qt::Key_Delete);
    // The neighbour the list selects in the row's place is no choice of the user's.
    EXPECT_EQ(adapter.takeChanges(), Changes{change::DeleteContact{0}});
    EXPECT_EQ(clist->rowCount(), 32);
    EXPECT_EQ(clist->item(0, 0)->text(), "C1");
    EXPECT_EQ(clist->item(31, 0)->text(), "");
}

TEST_F(LineControlTest, DeleteInTheCallListAsksNothing)
{
    clickRow(calls, 15);
    adapter.takeChanges();
    QTest::keyClick(calls, Qt::Key_Delete);
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_EQ(adapter.takeChanges(), Changes{change::DeleteCall{15}});
    EXPECT_EQ(calls->rowCount(), 16);
    EXPECT_EQ(calls->item(15, 0)->text(), "");
}

// After the selected row was deleted, its index holds the entry that moved up into it: Enter stores
// the edits into a free phone-book entry, if there is one, never over that entry.
TEST_F(LineControlTest, EnterAfterADeletionFillsAFreeEntryInsteadOfTheRow)
{
    record.subscriber[0] = makeParty("Active", "12345");
    receive(record);

    struct Case
    {
        QTableWidget *list;
        Change deletion;
        Changes enter;
    };
    const Case cases[] = {
        {clist, change::DeleteContact{3}, {change::StoreContact{31, {"Active", "12345"}}}},
        {calls, change::DeleteCall{3}, {}}, // the entry stored above filled the book
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.list->objectName().toStdString());
        clickRow(c.list, 3);
        adapter.takeChanges();
        QTest::keyClick(c.list, Qt::Key_Delete);
        EXPECT_EQ(adapter.takeChanges(), Changes{c.deletion});
        EXPECT_EQ(window.selectedRow(), 3);

        // The adapter's record holds the deletion as soon as it was asked for.
        DeviceRecord deleted = adapter.record();
        if (c.list == clist)
            removeEntry(deleted.contact, 3);
        else
            removeEntry(deleted.call_list, 3);
        adapter.setRecord(deleted);

        QTest::keyClick(name, Qt::Key_Return);
        const Changes stored = adapter.takeChanges();
        EXPECT_EQ(stored, c.enter);
        if (!stored.empty()) {
            deleted.contact[31] = makeParty("Active", "12345");
            receive(deleted);
        }
    }
}

} // namespace
