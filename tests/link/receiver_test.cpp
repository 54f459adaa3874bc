// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver: reassembly, CRC check, dispatch, and the bounds that keep bad input harmless.
#include "link/commands.h"
#include "link/frame.h"
#include "link/receiver.h"
#include "link/report_writer.h"
#include "link/request.h"
#include "link/send_message.h"
#include "model/device_record.h"

#include <gtest/gtest.h>

#include <vector>

namespace vestra7 {

namespace {

struct Dispatched
{
    enum Kind { Record, Text, Update } kind;
    std::uint8_t cmd;
    std::vector<std::uint8_t> payload;
};

class FakeSink : public MessageSink
{
public:
    void recordReceived(std::uint8_t cmd, std::span<const std::uint8_t> record) override
    {
        calls.push_back({Dispatched::Record, cmd, {record.begin(), record.end()}});
    }
    void textReceived() override { calls.push_back({Dispatched::Text, CMD_TEXT, {}}); }
    void updateReplyReceived(std::uint8_t cmd, std::span<const std::uint8_t> payload) override
    {
        calls.push_back({Dispatched::Update, cmd, {payload.begin(), payload.end()}});
    }

    std::vector<Dispatched> calls;
};

std::vector<Frame> framesOf(std::uint8_t cmd, const std::vector<std::uint8_t> &payload)
{
    MessageFrames frames(cmd, payload);
    std::vector<Frame> out;
    Frame frame;
    while (frames.next(frame))
        out.push_back(frame);
    return out;
}

std::vector<std::uint8_t> pattern(std::size_t size, std::uint8_t seed)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i * 13);
    return bytes;
}

class ReceiverTest : public testing::Test
{
protected:
    void feed(const Frame &frame) { m_receiver.takeReport(frame); }
    void feed(const std::vector<Frame> &frames)
    {
        for (const Frame &frame : frames)
            feed(frame);
    }

    FakeSink m_sink;
    Receiver m_receiver{m_sink};
};

} // namespace

TEST_F(ReceiverTest, RecordMessagesAreDispatchedWhole)
{
    const auto record = pattern(kRecordSize, 1);
    feed(framesOf(CMD_POLL, record));
    feed(framesOf(CMD_WRITE_RECORD, record));
    ASSERT_EQ(m_sink.calls.size(), 2u);
    EXPECT_EQ(m_sink.calls[0].kind, Dispatched::Record);
    EXPECT_EQ(m_sink.calls[0].cmd, CMD_POLL);
    EXPECT_EQ(m_sink.calls[0].payload, record);
    EXPECT_EQ(m_sink.calls[1].cmd, CMD_WRITE_RECORD);
    EXPECT_EQ(m_receiver.collectedBytes(), 0u);
}

TEST_F(ReceiverTest, CrcMismatchDropsTheMessageAndItsData)
{
    auto frames = framesOf(CMD_POLL, pattern(kRecordSize, 1));
    frames[5][10] ^= 0x01;
    feed(frames);
    EXPECT_TRUE(m_sink.calls.empty());
    EXPECT_EQ(m_receiver.collectedBytes(), 0u);

    feed(framesOf(CMD_POLL, pattern(kRecordSize, 2)));
    ASSERT_EQ(m_sink.calls.size(), 1u);
    EXPECT_EQ(m_sink.calls[0].payload, pattern(kRecordSize, 2));
}

TEST_F(ReceiverTest, LongerRecordMessageStoresItsFirstRecordsWorth)
{
    const auto payload = pattern(2000, 3);
    feed(framesOf(CMD_POLL, payload));
    ASSERT_EQ(m_sink.calls.size(), 1u);
    EXPECT_EQ(m_sink.calls[0].payload, std::vector<std::uint8_t>(payload.begin(), payload.begin() + kRecordSize));
}

TEST_F(ReceiverTest, PartialRecordIsNeverStored)
{
    feed(framesOf(CMD_POLL, pattern(1788, 3)));
    feed(framesOf(CMD_WRITE_RECORD, pattern(1, 3)));
    EXPECT_TRUE(m_sink.calls.empty());
}

TEST_F(ReceiverTest, EmptyRecordOrTextMessageOnlyAsksForARefresh)
{
    feed(framesOf(CMD_POLL, {}));
    feed(framesOf(CMD_TEXT, {}));
    feed(framesOf(CMD_TEXT, pattern(40, 9)));
    ASSERT_EQ(m_sink.calls.size(), 3u);
    EXPECT_EQ(m_sink.calls[0].kind, Dispatched::Record);
    EXPECT_TRUE(m_sink.calls[0].payload.empty());
    EXPECT_EQ(m_sink.calls[1].kind, Dispatched::Text);
    EXPECT_EQ(m_sink.calls[2].kind, Dispatched::Text);
}

TEST_F(ReceiverTest, UpdateRepliesGoToTheUpdateWindowWithOrWithoutPayload)
{
    feed(framesOf(CMD_FW_CHUNK, {}));
    feed(framesOf(CMD_FW_END, {1}));
    feed(framesOf(255, pattern(70, 1)));
    ASSERT_EQ(m_sink.calls.size(), 3u);
    for (const auto &call : m_sink.calls)
        EXPECT_EQ(call.kind, Dispatched::Update);
    EXPECT_TRUE(m_sink.calls[0].payload.empty());
    EXPECT_EQ(m_sink.calls[1].payload, std::vector<std::uint8_t>{1});
    EXPECT_EQ(m_sink.calls[2].payload.size(), 70u);
}

TEST_F(ReceiverTest, OtherCommandsAreIgnored)
{
    for (int cmd : {2, 100, 127, 129, 239})
        feed(framesOf(static_cast<std::uint8_t>(cmd), pattern(kRecordSize, 1)));
    EXPECT_TRUE(m_sink.calls.empty());
}

TEST_F(ReceiverTest, UnknownMarkerIsIgnoredAndCollectedDataStillCounts)
{
    const auto frames = framesOf(CMD_POLL, pattern(kRecordSize, 4));
    Frame noise{};
    noise[0] = 0x00;
    noise[1] = 0x77;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (i == 10)
            feed(noise);
        feed(frames[i]);
    }
    ASSERT_EQ(m_sink.calls.size(), 1u);
}

TEST_F(ReceiverTest, LostTrailerMergesIntoTheNextMessage)
{
    auto first = framesOf(CMD_POLL, pattern(kRecordSize, 5));
    first.pop_back();
    feed(first);
    feed(framesOf(CMD_POLL, pattern(kRecordSize, 6)));
    EXPECT_TRUE(m_sink.calls.empty()) << "the trailer's CRC is checked against the lost message's bytes";

    // When the two messages carry the same bytes the merged data does match, and is used.
    auto same = framesOf(CMD_POLL, pattern(kRecordSize, 7));
    feed(std::vector<Frame>(same.begin(), same.end() - 1));
    feed(same);
    ASSERT_EQ(m_sink.calls.size(), 1u);
    EXPECT_EQ(m_sink.calls[0].payload, pattern(kRecordSize, 7));
}

TEST_F(ReceiverTest, TrailerClaimingMoreThanWasCollectedIsDropped)
{
    auto frames = framesOf(CMD_POLL, pattern(kRecordSize, 8));
    frames.erase(frames.begin()); // 28 frames collected: fewer bytes than the trailer's length
    feed(frames);
    EXPECT_TRUE(m_sink.calls.empty());
    EXPECT_EQ(m_receiver.collectedBytes(), 0u);
}

TEST_F(ReceiverTest, ShortReportsAreIgnored)
{
    const auto frames = framesOf(CMD_POLL, {});
    m_receiver.takeReport(std::span(frames[0]).first(63));
    m_receiver.takeReport({});
    EXPECT_TRUE(m_sink.calls.empty());
    m_receiver.takeReport(frames[0]);
    EXPECT_EQ(m_sink.calls.size(), 1u);
}

TEST_F(ReceiverTest, DataWithoutTrailerStaysBounded)
{
    Frame data{};
    data[0] = kDataMarker;
    for (std::size_t i = 0; i < 3 * kMaxDataFrames; ++i) {
        feed(data);
        ASSERT_LE(m_receiver.collectedBytes(), kMaxDataFrames * kFramePayloadSize);
    }
}

TEST(LinkRoundTrip, EverySentMessageIsReceivedIntact)
{
    class Loopback : public ReportWriter
    {
    public:
        explicit Loopback(Receiver &receiver)
            : m_receiver(receiver)
        {
        }
        std::size_t outputReportLength() override { return kReportSize; }
        Result<std::size_t> writeReport(std::span<const std::uint8_t> report) override
        {
            m_receiver.takeReport(report.subspan(1));
            return report.size();
        }

    private:
        Receiver &m_receiver;
    };

    FakeSink sink;
    Receiver receiver(sink);
    Loopback loopback(receiver);
    const std::pair<std::uint8_t, std::size_t> cases[] = {{CMD_POLL, kRecordSize},
                                                          {CMD_WRITE_RECORD, 4000},
                                                          {CMD_FW_CHUNK, 544},
                                                          {CMD_FW_END, 0},
                                                          {CMD_FW_END, 1},
                                                          {253, 62},
                                                          {254, 63},
                                                          {255, 65535}};
    for (const auto &[cmd, size] : cases) {
        sink.calls.clear();
        const auto payload = pattern(size, static_cast<std::uint8_t>(size));
        Request request;
        request.cmd = cmd;
        request.data = payload.data();
        request.len = static_cast<std::uint16_t>(size);
        sendMessage(request, &loopback);
        ASSERT_EQ(sink.calls.size(), 1u) << int(cmd) << " " << size;
        const std::size_t expected = isUpdateCommand(cmd) ? size : kRecordSize;
        EXPECT_EQ(sink.calls[0].payload,
                  std::vector<std::uint8_t>(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(expected)));
    }
}

} // namespace vestra7
