// SPDX-License-Identifier: GPL-3.0-or-later
// The user's pending changes on top of the adapter's records: the window follows the adapter, the
// edits stay until the adapter holds them, and a press goes out once.
#include "link/commands.h"
#include "link/mailbox.h"
#include "link/record_store.h"
#include "support/record_builders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

bool sameBytes(const DeviceRecord &a, const DeviceRecord &b)
{
    return std::memcmp(&a, &b, kRecordSize) == 0;
}

class RecordStoreTest : public testing::Test
{
protected:
    RecordStoreTest()
    {
        QObject::connect(&m_store, &RecordStore::writeEnded, [this](bool held) { m_ends.push_back(held); });
        receive(CMD_POLL, m_adapter);
    }

    void receive(std::uint8_t cmd, const DeviceRecord &record) { m_store.recordReceived(cmd, record.bytes()); }
    // The adapter's reply to a write: its record, as it stands after taking it.
    void reply() { receive(CMD_WRITE_RECORD, m_adapter); }

    // What the worker sends next: the record write in the slot.
    DeviceRecord send()
    {
        const std::optional<Request> request = m_mailbox.takeRequest();
        EXPECT_TRUE(request && request->cmd == CMD_WRITE_RECORD && request->len == kRecordSize);
        DeviceRecord written{};
        if (request && request->len == kRecordSize)
            std::memcpy(&written, request->data, kRecordSize);
        m_mailbox.sendFinished(CMD_WRITE_RECORD, 65);
        return written;
    }

    // The adapter takes a write as the emulated one does: the user's fields, and the press acted on.
    void takeWrite(const DeviceRecord &written)
    {
        DeviceRecord next = written;
        std::memcpy(next.stat, m_adapter.stat, sizeof next.stat);
        std::memcpy(next.ops, m_adapter.ops, sizeof next.ops);
        std::memcpy(next.rssi, m_adapter.rssi, sizeof next.rssi);
        std::memset(next.resp, 0, sizeof next.resp);
        m_adapter = next;
    }

    std::chrono::steady_clock::time_point m_now{100s};
    Mailbox m_mailbox{[this] {
        return m_now;
    }};
    RecordStore m_store{m_mailbox};
    DeviceRecord m_adapter = readyRecord();
    std::vector<bool> m_ends;
};

} // namespace

TEST_F(RecordStoreTest, RecordsArrivingWhileAWriteWaitsAreShownWithTheEditOnTopAndGoOutWithTheNextWrite)
{
    m_store.make(change::SetMicGain{9});
    const DeviceRecord first = send(); // its reply does not come

    // The adapter's own news meanwhile: a caller on line A, the signal. A record older than the
    // write shows it, and the edit stays.
    m_adapter.stat[0] = 4;
    m_adapter.rssi[1] = -51;
    m_adapter.subscriber[0] = makeParty("Caller", "+74950001122");
    m_adapter.call_list[0] = m_adapter.subscriber[0];
    receive(CMD_POLL, m_adapter);
    DeviceRecord shown = m_adapter;
    shown.mic_gain = 9;
    EXPECT_TRUE(sameBytes(m_store.record(), shown));

    // The next change's write is the adapter's record with both edits, byte for byte.
    m_store.make(change::SetLineGain{14});
    shown.spk_gain = 14;
    EXPECT_TRUE(sameBytes(send(), shown));
    EXPECT_EQ(first.mic_gain, 9);

    takeWrite(shown);
    reply(); // to the first write, as far as anyone can tell
    EXPECT_TRUE(m_ends.empty()) << "the second write still waits";
    reply();
    EXPECT_EQ(m_ends, std::vector<bool>{true});

    // Nothing is pending: what the adapter says next is shown as it is.
    m_adapter.mic_gain = 3;
    receive(CMD_POLL, m_adapter);
    EXPECT_TRUE(sameBytes(m_store.record(), m_adapter));
}

TEST_F(RecordStoreTest, APressGoesOutOnceAndItsPartyStaysUntilItsWriteIsAnswered)
{
    m_store.make(change::Call{1, {QStringLiteral("Carol"), QStringLiteral("+380501234567")}});
    const DeviceRecord first = send();
    EXPECT_EQ(first.resp[1], 1);
    EXPECT_EQ(m_store.record().resp[1], 0) << "the request belongs to the message, not the record";
    takeWrite(first); // its reply is lost

    m_now += Mailbox::kResendAfter;
    ASSERT_TRUE(m_mailbox.resendDue());
    m_store.repeat();
    const DeviceRecord repeat = send();
    m_store.make(change::SetAutoAnswer{0, 5});
    const DeviceRecord later = send();
    for (const DeviceRecord &written : {repeat, later}) {
        EXPECT_EQ(written.resp[0], 0);
        EXPECT_EQ(written.resp[1], 0);
        EXPECT_TRUE(std::memcmp(&written.subscriber[1], &first.subscriber[1], sizeof(PartyEntry)) == 0);
    }

    // Until a reply comes, a record with another party on line B does not undo the press's party.
    const PartyEntry pressed = first.subscriber[1];
    m_adapter.subscriber[1] = makeParty("Other", "+1");
    receive(CMD_POLL, m_adapter);
    EXPECT_TRUE(std::memcmp(&m_store.record().subscriber[1], &pressed, sizeof pressed) == 0);

    m_adapter.subscriber[1] = pressed;
    takeWrite(later);
    reply();
    m_adapter.subscriber[1] = makeParty("Other", "+1");
    receive(CMD_POLL, m_adapter);
    EXPECT_TRUE(sameBytes(m_store.record(), m_adapter)) << "the press was answered and held: done";
}

TEST_F(RecordStoreTest, ALaterEditTheAdapterHoldsIsNotWrittenOverByAnEarlierPressStillAwaitingItsReply)
{
    const int line = m_adapter.act_line;
    ASSERT_LT(line, kLineCount);
    m_store.make(change::Call{line, {QStringLiteral("Carol"), QStringLiteral("+380501234567")}});
    takeWrite(send()); // its reply is lost
    // A phone-book row picked afterwards puts its party on the same line.
    m_store.make(change::SelectParty{{QStringLiteral("Vera"), QStringLiteral("+4930123")}});
    const PartyEntry picked = m_store.record().subscriber[line];
    takeWrite(send()); // its reply is lost too

    // The adapter's record holds the picked party; only the press's reply is still missing.
    receive(CMD_POLL, m_adapter);
    EXPECT_TRUE(std::memcmp(&m_store.record().subscriber[line], &picked, sizeof picked) == 0)
        << "the press applied again wrote its party over the later one";
    m_store.make(change::SetMicGain{3});
    const DeviceRecord next = send();
    EXPECT_TRUE(std::memcmp(&next.subscriber[line], &picked, sizeof picked) == 0);
}

// A party picked for one line, then another line chosen, all unanswered: a record from before
// them, with the second line already active, must not carry the party over to that line.
TEST_F(RecordStoreTest, APartyPickedStaysWithItsLineWhenAnotherLineIsChosenAfterIt)
{
    m_adapter.act_line = 1;
    receive(CMD_POLL, m_adapter);
    m_store.make(change::SetActiveLine{0});
    send();
    m_store.make(change::SelectParty{{QStringLiteral("Vera"), QStringLiteral("+4930123")}, 0});
    const DeviceRecord picked = m_store.record();
    send();
    m_store.make(change::SetActiveLine{1});
    send(); // none of the three reached the adapter

    receive(CMD_POLL, m_adapter);
    for (int line = 0; line < kLineCount; ++line)
        EXPECT_TRUE(std::memcmp(&m_store.record().subscriber[line], &picked.subscriber[line], sizeof(PartyEntry)) == 0)
            << "line " << line;
    EXPECT_EQ(m_store.record().act_line, 1);
}

// A change whose write is answered, with the reply changed as an adapter may change it.
struct AnsweredCase
{
    const char *name;
    Change change;
    void (*adapterAfter)(DeviceRecord &);
    bool held;
};

class AnsweredChange : public RecordStoreTest, public testing::WithParamInterface<AnsweredCase>
{
};

TEST_P(AnsweredChange, OnlyTheUsersFieldsDecideWhetherTheAdapterHoldsIt)
{
    m_store.make(GetParam().change);
    takeWrite(send());
    GetParam().adapterAfter(m_adapter);
    reply();
    EXPECT_EQ(m_ends, std::vector<bool>{GetParam().held});
    EXPECT_TRUE(sameBytes(m_store.record(), m_adapter)) << "the answered record is shown as it is";
}

INSTANTIATE_TEST_SUITE_P(
    RecordStore, AnsweredChange,
    testing::Values(AnsweredCase{"DefaultsWithTheLinesStatesSignalAndOperatorsOfTheAdapter", change::ResetToDefaults{},
                                 [](DeviceRecord &r) {
                                     r.stat[1] = 3;
                                     r.rssi[0] = -40;
                                     r.ops[0][0] = 'X';
                                     r.usd_txt[0] = 'U';
                                     r.ussd_num[1][0] = '*';
                                 },
                                 true},
                    AnsweredCase{"ALoadWhoseAdapterFieldsTheAdapterKeeps",
                                 change::LoadConfiguration{QByteArray(1789, '\x01')}, [](DeviceRecord &) {}, true},
                    AnsweredCase{"AGainTheAdapterRefused", change::SetMicGain{40},
                                 [](DeviceRecord &r) { r.mic_gain = 15; }, false},
                    AnsweredCase{"AContactTheAdapterDidNotStore",
                                 change::StoreContact{4, {QStringLiteral("Vera"), QStringLiteral("+1")}},
                                 [](DeviceRecord &r) { r.contact[4] = PartyEntry{}; }, false}),
    [](const testing::TestParamInfo<AnsweredCase> &caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(RecordStoreTest, AfterTenSecondsWithoutAReplyTheAdaptersRecordIsTakenAsItIs)
{
    m_store.make(change::StoreContact{0, {QStringLiteral("Vera"), QStringLiteral("+1")}});
    send();
    m_now += Mailbox::kGiveUpAfter - 1ms;
    receive(CMD_POLL, m_adapter);
    EXPECT_TRUE(m_ends.empty());
    m_now += 1ms;
    m_adapter.mic_gain = 2;
    receive(CMD_POLL, m_adapter);
    EXPECT_EQ(m_ends, std::vector<bool>{false});
    EXPECT_TRUE(sameBytes(m_store.record(), m_adapter));
}

TEST_F(RecordStoreTest, ADeletionTheAdapterAlreadyTookRemovesNothingMoreWhenAppliedAgain)
{
    const char *names[] = {"Anna", "Boris", "Clara", "Dmitri"};
    for (int i = 0; i < 4; ++i)
        m_adapter.contact[i] = makeParty(names[i], "+1");
    receive(CMD_POLL, m_adapter);

    m_store.make(change::DeleteContact{1, m_adapter.contact[1]});
    takeWrite(send()); // Boris is gone; the reply is on its way
    m_store.make(change::StoreContact{5, {QStringLiteral("Vera"), QStringLiteral("+2")}});
    receive(CMD_POLL, m_adapter); // sent before the adapter took the second write

    const PartyEntry expected[] = {
        makeParty("Anna", "+1"), makeParty("Clara", "+1"), makeParty("Dmitri", "+1"), PartyEntry{}, PartyEntry{},
        makeParty("Vera", "+2")};
    EXPECT_EQ(std::memcmp(m_store.record().contact, expected, sizeof expected), 0);
    EXPECT_EQ(std::memcmp(send().contact, expected, sizeof expected), 0);
}

TEST_F(RecordStoreTest, ADeletedEmptyRowAppliedAgainLeavesTheOtherGapsWhereTheyAre)
{
    for (int i = 0; i < 28; ++i)
        if (i != 2 && i != 26)
            m_adapter.contact[i] = makeParty(("Entry " + std::to_string(i)).c_str(), "+1");
    receive(CMD_POLL, m_adapter);
    m_store.make(change::DeleteContact{26, m_store.record().contact[26]});
    takeWrite(send());
    const DeviceRecord afterDeletion = m_adapter;
    m_store.make(change::StoreContact{28, {QStringLiteral("Vera"), QStringLiteral("+2")}});
    const DeviceRecord stored = m_store.record();
    send(); // lost on the way

    // The adapter holds the deletion; both changes are applied again on its record.
    receive(CMD_POLL, m_adapter);
    EXPECT_TRUE(std::memcmp(m_store.record().contact, stored.contact, sizeof stored.contact) == 0)
        << "the gap at row 2 was closed";
    EXPECT_TRUE(std::memcmp(&m_store.record().contact[26], &afterDeletion.contact[26], sizeof(PartyEntry)) == 0);
}

} // namespace vestra7
