// SPDX-License-Identifier: GPL-3.0-or-later
// Line control and phone-book editing: calls and hang-ups, the active line, picking parties from
// the lists, storing with Enter, the number filter, and deleting rows.
#include "main_window_fixture.h"

#include "support/record_builders.h"
#include "widgets/glyph_button.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QToolTip>

#include <functional>

namespace vestra7 {

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
    DeviceRecord record = readyRecord();
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

TEST_F(LineControlTest, NumberEditTakesDigitsPlusAndCopyPasteOnly)
{
    number->clear();
    number->setFocus();
    QTest::keyClicks(number, "a *#+1 2");
    {
        const BoxAnswerer full; // Enter stores, and the book is full
        QTest::keyClick(number, Qt::Key_Return);
    }
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
    // A paste too long for the field pastes what fits, and the edit says the rest was cut.
    number->clear();
    QApplication::clipboard()->setText("12345678901234567");
    QTest::keyClick(number, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(number->text(), "1234567890123456");
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_TRUE(QToolTip::text().contains("the rest was cut off")) << QToolTip::text().toStdString();
    QToolTip::hideText();
    // A character the code page lacks is refused, and the edit says why.
    name->setFocus();
    name->setText("Ann");
    QApplication::clipboard()->setText("\u674E");
    QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(name->text(), "Ann");
    EXPECT_TRUE(QToolTip::text().contains("code page has no such character")) << QToolTip::text().toStdString();
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

// Enter stores over a contact only while its phone-book row is the one selected, so that the edits are
// that contact's; otherwise into the first free entry. The row shows the edits at once.
TEST_F(LineControlTest, EnterStoresOverTheSelectedContactOnlyAndElseIntoTheFirstFreeEntry)
{
    record.contact[20] = {};
    record.contact[25] = {};
    receive(record);
    const Party typed{"New Person", "+79001234567"};
    const struct
    {
        const char *what;
        std::function<void()> select;
        int stored;
    } cases[] = {
        {"nothing selected since the start", [] {}, 20},
        {"a call-list row", [&] { clickRow(calls, 3); }, 20},
        {"the phone-book row", [&] { clickRow(clist, 3); }, 3},
        {"a phone-book row, then a call-list row",
         [&] {
             clickRow(clist, 3);
             clickRow(calls, 5);
         },
         20},
        {"a call-list row, then a deletion in the phone book",
         [&] {
             clickRow(clist, 1);
             clickRow(calls, 3);
             QTest::keyClick(clist, Qt::Key_Delete);
         },
         20},
        {"a phone-book row, then a deletion there",
         [&] {
             clickRow(clist, 3);
             QTest::keyClick(clist, Qt::Key_Delete);
         },
         20},
        {"a phone-book row, then a deletion in the call list",
         [&] {
             clickRow(calls, 5);
             clickRow(clist, 3);
             QTest::keyClick(calls, Qt::Key_Delete);
         },
         3},
    };
    for (const auto &[what, select, stored] : cases) {
        SCOPED_TRACE(what);
        select();
        adapter.takeChanges();
        // As a person types: into the name, Tab, the number, Enter.
        name->clear();
        number->clear();
        QTest::keyClicks(name, typed.name);
        QTest::keyClick(name, Qt::Key_Tab);
        QTest::keyClicks(number, typed.number);
        QTest::keyClick(number, Qt::Key_Return);
        EXPECT_EQ(adapter.takeChanges(), (Changes{change::StoreContact{stored, typed}}));
        EXPECT_EQ(clist->item(stored, 0)->text(), typed.name);
        // The next case starts from the adapter's record, with nothing selected.
        receive(record);
        clist->clearSelection();
        calls->clearSelection();
    }
}

TEST_F(LineControlTest, EnterWithTheBookFullAndNoContactSelectedSaysSoAndStoresNothing)
{
    clickRow(calls, 3);
    adapter.takeChanges();
    name->setText("New Person");
    const BoxAnswerer answer;
    QTest::keyClick(name, Qt::Key_Return);
    ASSERT_TRUE(answer.seen);
    EXPECT_TRUE(answer.seen->text.contains("phone book is full")) << answer.seen->text.toStdString();
    EXPECT_EQ(adapter.takeChanges(), Changes{});
    EXPECT_EQ(clist->item(3, 0)->text(), "C3");
}

} // namespace

} // namespace vestra7
