// SPDX-License-Identifier: GPL-3.0-or-later
// What each change does to the record the adapter is sent: exactly that change, nothing else.
#include "link/adapter.h"
#include "link/commands.h"
#include "model/byte_span.h"
#include "support/adapter_probe.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace vestra7 {

namespace {

QByteArray bytesOf(const DeviceRecord &record)
{
    return toByteArray(record.bytes());
}

// Every entry carries bytes behind its text's terminator, which a round trip through text would lose.
// What only the adapter writes is left empty, as no record of the adapter has come.
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
    std::memset(record.usd_txt, 0, sizeof record.usd_txt);
    std::memset(record.resp, 0, sizeof record.resp);
    std::memset(record.sim_pres, 0, sizeof record.sim_pres);
    std::memset(record.rssi, 0, sizeof record.rssi);
    std::memset(record.stat, 0, sizeof record.stat);
    std::memset(record.ops, 0, sizeof record.ops);
    std::memset(record.ussd_num, 0, sizeof record.ussd_num);
    return record;
}

class AdapterChanges : public testing::Test
{
protected:
    AdapterChanges() { adapter.loadConfiguration(bytesOf(before)); }

    // The record write in the slot: the whole record as it now stands, with the requests of this
    // write only.
    void expectSent(const DeviceRecord &expected, std::array<std::int8_t, kLineCount> requests = {})
    {
        EXPECT_EQ(std::memcmp(&adapter.record(), &expected, kRecordSize), 0);
        DeviceRecord written = expected;
        std::copy(requests.begin(), requests.end(), std::begin(written.resp));
        const Mailbox::Snapshot sent = AdapterProbe::mailbox(adapter).snapshot();
        EXPECT_EQ(sent.cmd, CMD_WRITE_RECORD);
        ASSERT_EQ(sent.payload.size(), kRecordSize);
        EXPECT_EQ(std::memcmp(sent.payload.data(), &written, kRecordSize), 0);
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
    std::memcpy(expected.subscriber[1].number, "+380501234567\0\0\0", 16);
    adapter.call(1, {QString(), QStringLiteral("+380501234567")});
    expectSent(expected, {0, 1});

    // Both presses go out in the one write, as neither has been sent yet.
    adapter.hangUp(0, {});
    expectSent(expected, {-1, 1});
}

} // namespace

} // namespace vestra7
