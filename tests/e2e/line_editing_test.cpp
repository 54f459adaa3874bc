// SPDX-License-Identifier: GPL-3.0-or-later
// The phone book, the call list and the line buttons, driven as the user drives them: every change
// goes to the adapter, and what the window shows afterwards is what the adapter sent back.
#include "program_fixture.h"

#include "support/gui_wait.h"
#include "widgets/glyph_button.h"

#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <cstring>

namespace vestra7 {

namespace {

bool holds(const PartyEntry &entry, std::string_view name, std::string_view number)
{
    const PartyEntry expected = makeParty(name, number);
    return std::memcmp(&entry, &expected, sizeof entry) == 0;
}

class LineEditing : public ProgramOnHidraw
{
protected:
    void start(const DeviceRecord &record) { startActive(record); }

    // Clicks a row as the user does, which selects it.
    static void clickRow(QTableWidget *list, int row)
    {
        list->scrollToItem(list->item(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row, 0)).center());
    }

    static QString rowName(QTableWidget *list, int row) { return list->item(row, 0)->text(); }

    // Replaces an edit's text by typing, with the focus in it so that refreshes leave it alone.
    static void typeInto(QLineEdit *edit, const char *text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
};

TEST_F(LineEditing, StoringDeletingAndPickingEntriesReachTheAdapterAndComeBack)
{
    DeviceRecord record = initialAdapterRecord();
    record.contact[0] = makeParty("Anna", "+4930556677");
    record.contact[1] = makeParty("Boris", "+79035554411");
    record.contact[2] = makeParty("Clara", "+48225550101");
    record.contact[3] = makeParty("Dmitri", "+79267770011");
    record.call_list[0] = makeParty("Warehouse", "+74957778899");
    record.call_list[1] = makeParty("Lift control", "+74956660022");
    start(record);
    auto *contacts = child<QTableWidget>("phoneBookList");
    auto *calls = child<QTableWidget>("callList");
    auto *name = child<QLineEdit>("partyNameEdit");
    auto *number = child<QLineEdit>("partyNumberEdit");

    // Picking a row makes it the active line's party; the edits show it from the adapter's reply.
    clickRow(contacts, 2);
    EXPECT_TRUE(
        waitForAdapter([](const AdapterState &s) { return holds(s.record.subscriber[0], "Clara", "+48225550101"); }));
    EXPECT_TRUE(waitUntil([&] { return name->text() == "Clara" && number->text() == "+48225550101"; }));

    // Enter stores the edits over the picked row. The row shows the whole name at once, and the
    // stored 16 bytes once the adapter has answered.
    typeInto(name, "Dorothea Alexandra");
    typeInto(number, "+3712345678");
    QTest::keyClick(number, Qt::Key_Return);
    EXPECT_EQ(rowName(contacts, 2), "Dorothea Alexand") << "the edit takes only what the record holds";
    EXPECT_TRUE(waitForAdapter(
        [](const AdapterState &s) { return holds(s.record.contact[2], "Dorothea Alexand", "+3712345678"); }));
    EXPECT_TRUE(waitUntil([&] { return rowName(contacts, 2) == "Dorothea Alexand"; }));

    // Delete, confirmed: the entries below move up and the last one is empty.
    clickRow(contacts, 1);
    QTest::keyClick(contacts, Qt::Key_Delete);
    EXPECT_EQ(questions, QStringList{"Delete contact?"});
    EXPECT_TRUE(waitForAdapter([](const AdapterState &s) {
        return holds(s.record.contact[0], "Anna", "+4930556677") &&
               holds(s.record.contact[1], "Dorothea Alexand", "+3712345678") &&
               holds(s.record.contact[2], "Dmitri", "+79267770011") && holds(s.record.contact[3], "", "");
    }));
    ASSERT_TRUE(waitForRefreshes(1));
    EXPECT_EQ(rowName(contacts, 1), "Dorothea Alexand");
    EXPECT_EQ(rowName(contacts, 2), "Dmitri");
    EXPECT_EQ(rowName(contacts, 3), "");

    // A call-list row becomes the active line's party too.
    clickRow(calls, 1);
    EXPECT_TRUE(waitForAdapter(
        [](const AdapterState &s) { return holds(s.record.subscriber[0], "Lift control", "+74956660022"); }));
    EXPECT_TRUE(waitUntil([&] { return name->text() == "Lift control" && number->text() == "+74956660022"; }));
}

TEST_F(LineEditing, ACallOnLineBMakesTheButtonsFollowTheLineAndGrowsTheCallList)
{
    DeviceRecord record = initialAdapterRecord();
    record.subscriber[0] = makeParty("Eve", "+15550100");
    record.call_list[0] = makeParty("Earlier", "+100200");
    start(record);
    auto *callA = child<GlyphButton>("callButtonLineA");
    auto *callB = child<GlyphButton>("callButtonLineB");
    auto *hangUpB = child<GlyphButton>("hangUpButtonLineB");
    auto *calls = child<QTableWidget>("callList");

    // At every refresh: line B's state as received, and its two buttons.
    struct Shown
    {
        int state;
        bool call;
        bool hangUp;
        bool callA;
    };
    std::vector<Shown> shown;
    afterRefresh = [&] {
        shown.push_back({link().record().stat[1], callB->isEnabled(), hangUpB->isEnabled(), callA->isEnabled()});
    };
    ASSERT_TRUE(waitForRefreshes(1));
    ASSERT_TRUE(callB->isEnabled() && !hangUpB->isEnabled());

    // The party in the edits (line A's, the active line) is called on line B.
    QTest::mouseClick(callB, Qt::LeftButton);
    EXPECT_TRUE(waitForAdapter([](const AdapterState &s) { return s.record.stat[1] == 3; }));
    EXPECT_TRUE(waitUntil([&] { return hangUpB->isEnabled() && !callB->isEnabled(); }));
    const AdapterState inCall = adapter->state();
    EXPECT_TRUE(holds(inCall.record.subscriber[1], "Eve", "+15550100"));
    EXPECT_EQ(rowName(calls, 0), "Eve");
    EXPECT_EQ(rowName(calls, 1), "Earlier");

    QTest::mouseClick(hangUpB, Qt::LeftButton);
    EXPECT_TRUE(waitForAdapter([](const AdapterState &s) { return s.record.stat[1] == 1; }));
    EXPECT_TRUE(waitUntil([&] { return callB->isEnabled() && !hangUpB->isEnabled(); }));
    EXPECT_EQ(adapter->state().record.stat[0], 1) << "line A was left alone";

    // Dialling, in the call and back: each state was shown with its buttons, and nothing else.
    std::vector<int> states;
    for (const Shown &s : shown) {
        if (states.empty() || states.back() != s.state)
            states.push_back(s.state);
        EXPECT_EQ(s.call, s.state <= 1) << "line state " << s.state;
        EXPECT_EQ(s.hangUp, s.state >= 3) << "line state " << s.state;
        EXPECT_TRUE(s.callA);
    }
    EXPECT_EQ(states, (std::vector<int>{1, 2, 3, 1}));
}

} // namespace

} // namespace vestra7
