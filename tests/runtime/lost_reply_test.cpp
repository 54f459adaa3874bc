// SPDX-License-Identifier: GPL-3.0-or-later
// A call press whose write goes unanswered, an incoming call meanwhile and a gain step: the next
// write carries the adapter's call list and no second press. On the emulated bus, with the writes'
// clock in the test's hand.
#include "link/adapter.h"
#include "link/commands.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/adapter_probe.h"
#include "support/gui_wait.h"
#include "support/lost_reply_probe.h"
#include "support/record_builders.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

class LostReply : public testing::TestWithParam<LostReplyProbe>
{
protected:
    void SetUp() override
    {
        DeviceRecord record = initialAdapterRecord();
        record.call_list[0] = makeParty("Depot", "+74951112233");
        m_adapter->setRecord(record);
        m_adapter->setUsbTiming(true);
        m_bus.plug(m_adapter);
        QObject::connect(&m_link, &Adapter::recordChanged, [this] { ++m_refreshes; });
        m_link.setPollingHeld(true); // the test is the polling timer
        m_link.start();
        ASSERT_TRUE(waitUntil([this] { return m_link.connected(); }));
        tick(0ms);
    }

    std::size_t writeCount() const { return recordWrites(m_adapter->state()).size(); }

    // The polling timer's tick at `at` after the press: a poll, answered, or the unanswered write again.
    void tick(std::chrono::milliseconds at)
    {
        m_now = m_start + at;
        const int refreshes = m_refreshes;
        const std::size_t writes = writeCount();
        m_link.poll();
        if (AdapterProbe::mailbox(m_link).snapshot().cmd == CMD_POLL)
            ASSERT_TRUE(waitUntil([&] { return m_refreshes > refreshes; }));
        else
            ASSERT_TRUE(waitUntil([&] { return writeCount() > writes; }));
    }

    std::chrono::steady_clock::time_point m_start{100s};
    std::atomic<std::chrono::steady_clock::time_point> m_now{m_start}; // read by the worker too
    EmulatedBus m_bus;
    std::shared_ptr<EmulatedAdapter> m_adapter = std::make_shared<EmulatedAdapter>();
    Adapter m_link{[this] { return std::make_unique<EmulatedBackend>(m_bus); },
                   [this] {
                       return m_now.load();
                   }};
    int m_refreshes = 0;
};

} // namespace

TEST_P(LostReply, TheNextWriteCarriesTheAdaptersCallListAndNoSecondPress)
{
    const LostReplyProbe probe = GetParam();
    for (int i = 0; i < probe.lostReplies; ++i)
        m_adapter->withholdReply(CMD_WRITE_RECORD, i);

    m_link.call(1, {QStringLiteral("Carol"), QStringLiteral("+380501234567")});
    ASSERT_TRUE(waitUntil([this] { return writeCount() == 1; }));
    bool rang = false;
    for (auto at = 200ms; at < probe.stepAt; at += 200ms) {
        if (!rang && at >= 150ms) {
            m_adapter->raiseIncomingCall(0, makeParty("Caller", "+74950001122"));
            rang = true;
        }
        tick(at);
    }
    ASSERT_EQ(writeCount(), static_cast<std::size_t>(probe.lostReplies)) << "every write so far went unanswered";

    // The window shows the adapter: the caller on line A, heading the call list, then the press's party.
    const DeviceRecord shown = m_link.record();
    const DeviceRecord adapter = m_adapter->state().record;
    EXPECT_EQ(std::memcmp(shown.call_list, adapter.call_list, sizeof shown.call_list), 0);
    const PartyEntry caller = makeParty("Caller", "+74950001122");
    const PartyEntry carol = makeParty("Carol", "+380501234567");
    EXPECT_EQ(std::memcmp(&shown.call_list[0], &caller, sizeof caller), 0);
    EXPECT_EQ(std::memcmp(&shown.call_list[1], &carol, sizeof carol), 0);
    EXPECT_EQ(std::memcmp(&shown.subscriber[0], &caller, sizeof caller), 0);
    EXPECT_EQ(shown.stat[0], 4);

    m_now = m_start + probe.stepAt;
    m_link.setMicGain(shown.mic_gain + 1);
    ASSERT_TRUE(waitUntil([&] { return writeCount() == static_cast<std::size_t>(probe.lostReplies) + 1; }));
    DeviceRecord expected = shown;
    expected.mic_gain = static_cast<std::int8_t>(shown.mic_gain + 1);
    expected.resp[0] = 0;
    expected.resp[1] = 0;
    const DeviceRecord sent = recordWrites(m_adapter->state()).back();
    EXPECT_EQ(std::memcmp(&sent, &expected, kRecordSize), 0) << "byte for byte the adapter's record and the step";
    EXPECT_EQ(sent.resp[1], 0) << "no second call";
    EXPECT_EQ(recordWrites(m_adapter->state()).front().resp[1], 1) << "the press went out with its first write";
    const AdapterState after = m_adapter->state();
    EXPECT_EQ(std::memcmp(&after.record.call_list[0], &caller, sizeof caller), 0) << "the adapter's call list is kept";
}

INSTANTIATE_TEST_SUITE_P(LinkEndToEnd, LostReply, testing::ValuesIn(lostReplyProbes()), lostReplyProbeName);

} // namespace vestra7
