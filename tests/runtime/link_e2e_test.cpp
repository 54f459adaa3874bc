// SPDX-License-Identifier: GPL-3.0-or-later
// The whole link against the emulated adapter: the road of one poll, no change undone by polling,
// removal and return, and a prompt end.
#include "link/adapter.h"
#include "link/commands.h"
#include "link/hid_controller.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/adapter_probe.h"
#include "support/gui_wait.h"
#include "support/record_builders.h"

#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

class LinkEndToEnd : public testing::Test
{
protected:
    void SetUp() override
    {
        m_adapter->setUsbTiming(true);
        m_bus.plug(m_adapter);
        QObject::connect(&m_link, &Adapter::recordChanged, [this] {
            ++m_refreshes;
            m_refreshThread = QThread::currentThread();
            m_shownSpkGain.push_back(m_link.record().spk_gain);
        });
        // The tests poll when they choose to.
        m_link.setPollingHeld(true);
        m_link.start();
        ASSERT_TRUE(waitUntil([this] { return m_link.connected(); }));
    }

    void startPolling() { m_link.setPollingHeld(false); }

    bool idle() const
    {
        return !AdapterProbe::mailbox(m_link).requestPending() && !AdapterProbe::mailbox(m_link).sending();
    }

    EmulatedBus m_bus;
    std::shared_ptr<EmulatedAdapter> m_adapter = std::make_shared<EmulatedAdapter>();
    Adapter m_link{[this] {
        return std::make_unique<EmulatedBackend>(m_bus);
    }};
    int m_refreshes = 0;
    QThread *m_refreshThread = nullptr;
    std::vector<std::int8_t> m_shownSpkGain;
};

} // namespace

TEST_F(LinkEndToEnd, OnePollBringsTheWholeRecordAndOneRefresh)
{
    DeviceRecord adapterRecord = initialAdapterRecord();
    adapterRecord.contact[3] = makeParty("Vera", "+4930123456");
    m_adapter->setRecord(adapterRecord);
    m_adapter->clearReceived();

    m_link.poll();
    ASSERT_TRUE(waitUntil([this] { return m_refreshes == 1 && idle(); }));
    EXPECT_EQ(m_refreshThread, QThread::currentThread());
    EXPECT_EQ(std::memcmp(&m_link.record(), &adapterRecord, kRecordSize), 0);
    const AdapterState state = m_adapter->state();
    ASSERT_EQ(state.received.size(), 1u);
    EXPECT_EQ(state.received[0], (ReceivedMessage{CMD_POLL, {}}));
    drainPostedEvents();
    EXPECT_EQ(m_refreshes, 1);
}

TEST_F(LinkEndToEnd, ABurstOfChangesWhilePollingEndsWithTheLastAndNeverShowsAnOlderOne)
{
    startPolling();
    ASSERT_TRUE(waitUntil([this] { return m_refreshes > 0; }));
    m_shownSpkGain.clear();

    constexpr int kChanges = 20;
    int made = 0;
    QTimer editor;
    editor.setInterval(100);
    QObject::connect(&editor, &QTimer::timeout, [&] {
        m_link.setLineGain(40 + made);
        if (++made == kChanges)
            editor.stop();
    });
    editor.start();
    ASSERT_TRUE(waitUntil([&] { return made == kChanges; }, 10s));

    const std::int8_t last = 40 + kChanges - 1;
    // A refresh may hold the worker until the GUI thread serves it: wait with the event loop running.
    ASSERT_TRUE(waitUntil([&] { return m_adapter->state().record.spk_gain == last; }));
    ASSERT_TRUE(waitUntil([&] { return !m_shownSpkGain.empty() && m_shownSpkGain.back() == last; }));
    for (std::size_t i = 1; i < m_shownSpkGain.size(); ++i)
        ASSERT_GE(m_shownSpkGain[i], m_shownSpkGain[i - 1]) << "refresh " << i << " went back";
    EXPECT_EQ(m_link.record().spk_gain, last);
}

TEST_F(LinkEndToEnd, AWriteLostOnTheWayIsSentAgainAndItsValueShown)
{
    m_adapter->ignoreMessage(CMD_WRITE_RECORD, 0);
    startPolling();
    ASSERT_TRUE(waitUntil([this] { return m_refreshes > 0; }));
    m_shownSpkGain.clear();
    m_link.setLineGain(77);
    // The resend needs the GUI thread's polling timer, so wait with the event loop running.
    ASSERT_TRUE(waitUntil([this] { return m_adapter->state().record.spk_gain == 77; }));
    ASSERT_TRUE(waitUntil([this] { return !m_shownSpkGain.empty() && m_shownSpkGain.back() == 77; }));
    EXPECT_EQ(m_shownSpkGain.front(), 77) << "the adapter's older state was never shown";
}

TEST_F(LinkEndToEnd, TheRepeatOfAnUnansweredCallPressCarriesNoCallRequest)
{
    startPolling();
    ASSERT_TRUE(waitUntil([this] { return m_refreshes > 0; }));
    // The adapter takes the press and places the call, but its reply is lost on the way back.
    m_adapter->withholdReply(CMD_WRITE_RECORD, 0);
    m_link.call(1, {QStringLiteral("Carol"), QStringLiteral("+380501234567")});
    const auto writes = [this] {
        std::vector<DeviceRecord> found;
        for (const ReceivedMessage &m : m_adapter->state().received)
            if (m.cmd == CMD_WRITE_RECORD && m.payload.size() == kRecordSize) {
                DeviceRecord r{};
                overwritePrefix(r, m.payload);
                found.push_back(r);
            }
        return found;
    };
    ASSERT_TRUE(waitUntil([&] { return writes().size() >= 2; })) << "the unanswered write went again";
    const std::vector<DeviceRecord> sent = writes();
    EXPECT_EQ(sent[0].resp[1], 1);
    for (std::size_t i = 1; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].resp[0], 0) << i;
        EXPECT_EQ(sent[i].resp[1], 0) << i;
        EXPECT_EQ(std::memcmp(&sent[i].subscriber[1], &sent[0].subscriber[1], sizeof(PartyEntry)), 0)
            << "the user's data goes again";
    }
}

TEST_F(LinkEndToEnd, RemovalAndReturnWhilePolling)
{
    startPolling();
    ASSERT_TRUE(waitUntil([this] { return m_refreshes > 0; }));
    HidDevice *first = AdapterProbe::claimedDevice(m_link);

    m_adapter->replug([this] {
        EXPECT_TRUE(waitUntil([this] { return !m_link.connected(); }));
        const int before = m_refreshes;
        EXPECT_FALSE(waitUntil([&] { return m_refreshes > before; }, 500ms)) << "no record while it is away";
    });
    ASSERT_TRUE(waitUntil([this] { return m_link.connected(); }));
    EXPECT_NE(AdapterProbe::claimedDevice(m_link), first);
    const int before = m_refreshes;
    EXPECT_TRUE(waitUntil([&] { return m_refreshes > before; }));
}

TEST_F(LinkEndToEnd, ShutdownCutsALongSendShort)
{
    std::vector<std::uint8_t> big(65535, 0x5A); // over a second of reports at full speed
    m_link.post(Command::Text, big);
    ASSERT_TRUE(waitUntil([this] { return AdapterProbe::mailbox(m_link).sending(); }));
    EXPECT_TRUE(m_link.shutdown()) << "every thread ended";
    const AdapterState state = m_adapter->state();
    EXPECT_TRUE(std::none_of(state.received.begin(), state.received.end(), [](const ReceivedMessage &m) {
        return m.cmd == CMD_TEXT;
    })) << "the rest of the message was not written";
}

TEST_F(LinkEndToEnd, ShutdownWhileAReportWaitsForTheGuiThread)
{
    m_link.poll();
    // The record arrives and the reading thread waits for this thread, which never serves it.
    ASSERT_TRUE(m_adapter->waitFor([](const AdapterState &s) { return !s.received.empty(); }));
    EXPECT_TRUE(m_link.shutdown()) << "every thread ended";
}

TEST_F(LinkEndToEnd, PollsAndThoseLeftUnansweredUntilTheNextAreCounted)
{
    const auto pollsReceived = [this] {
        const AdapterState state = m_adapter->state();
        return std::count_if(state.received.begin(), state.received.end(),
                             [](const ReceivedMessage &m) { return m.cmd == CMD_POLL; });
    };
    m_adapter->clearReceived();
    m_link.poll();
    ASSERT_TRUE(waitUntil([this] { return m_refreshes == 1 && idle(); }));
    EXPECT_EQ(m_link.linkCounts().polls, 1u);
    EXPECT_EQ(m_link.linkCounts().lostReplies, 0u);

    // The second poll (occurrence 1) goes unanswered: the third finds it so.
    m_adapter->withholdReply(CMD_POLL, 1);
    m_link.poll();
    ASSERT_TRUE(waitUntil([&] { return pollsReceived() == 2 && idle(); }));
    EXPECT_EQ(m_link.linkCounts().lostReplies, 0u) << "not lost before the next poll is due";
    m_link.poll();
    ASSERT_TRUE(waitUntil([this] { return m_refreshes == 2 && idle(); }));
    EXPECT_EQ(m_link.linkCounts().polls, 3u);
    EXPECT_EQ(m_link.linkCounts().lostReplies, 1u);

    // Polls without an adapter count for nothing.
    m_bus.unplug(*m_adapter);
    ASSERT_TRUE(waitUntil([this] { return !m_link.connected(); }));
    m_link.poll();
    m_link.poll();
    EXPECT_EQ(m_link.linkCounts().polls, 3u);
    EXPECT_EQ(m_link.linkCounts().lostReplies, 1u);
}

} // namespace vestra7
