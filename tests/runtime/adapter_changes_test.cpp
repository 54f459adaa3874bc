// SPDX-License-Identifier: GPL-3.0-or-later
// What each change does to the record the adapter is sent: exactly that change, nothing else.
#include "link/adapter.h"
#include "link/commands.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <cstring>

namespace {

QByteArray bytesOf(const DeviceRecord &record)
{
    return QByteArray(reinterpret_cast<const char *>(&record), static_cast<qsizetype>(kRecordSize));
}

// Every entry carries bytes behind its text's terminator, which a round trip through text would lose.
DeviceRecord busyRecord()
{
    DeviceRecord record{};
    std::uint8_t *bytes = record.bytes().data();
    for (std::size_t i = 0; i < kRecordSize; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    for (PartyEntry &entry : record.contact)
        entry.name[3] = 0;
    for (PartyEntry &entry : record.call_list)
        entry.number[5] = 0;
    return record;
}

class AdapterChanges : public testing::Test
{
protected:
    AdapterChanges() { adapter.loadConfiguration(bytesOf(before)); }

    // The record write in the slot: the whole record as it now stands.
    void expectSent(const DeviceRecord &expected)
    {
        EXPECT_EQ(std::memcmp(&adapter.record(), &expected, kRecordSize), 0);
        const Mailbox::Snapshot sent = adapter.mailbox().snapshot();
        EXPECT_EQ(sent.cmd, CMD_WRITE_RECORD);
        ASSERT_EQ(sent.payload.size(), kRecordSize);
        EXPECT_EQ(std::memcmp(sent.payload.data(), &expected, kRecordSize), 0);
    }

    const DeviceRecord before = busyRecord();
    Adapter adapter{nullptr};
};

TEST_F(AdapterChanges, DeletingAnEntryMovesTheOthersUpByteForByteAndChangesNothingElse)
{
    DeviceRecord expected = before;
    removeEntry(expected.contact, 3);
    adapter.deleteContact(3);
    expectSent(expected);

    removeEntry(expected.call_list, 15);
    adapter.deleteCall(15);
    expectSent(expected);

    // A row past the end changes nothing and sends nothing new.
    adapter.deleteContact(kContactCount);
    expectSent(expected);
}

TEST_F(AdapterChanges, ACallPressSetsOnlyItsLinesRequestAndParty)
{
    DeviceRecord expected = before;
    expected.resp[1] = 1;
    std::memcpy(expected.subscriber[1].number, "+380501234567\0\0\0", 16);
    adapter.call(1, {QString(), QStringLiteral("+380501234567")});
    expectSent(expected);

    expected.resp[0] = -1;
    adapter.hangUp(0, {});
    expectSent(expected);
}

} // namespace
