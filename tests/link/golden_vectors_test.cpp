// SPDX-License-Identifier: GPL-3.0-or-later
// The link's framing and receiver against the golden vectors the emulator is checked against too.
#include "link/frame.h"
#include "link/receiver.h"
#include "support/golden_vectors.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vestra7 {

namespace {

// Every dispatched message as command and payload, whichever kind it is.
class CollectingSink final : public MessageSink
{
public:
    void recordReceived(std::uint8_t cmd, std::span<const std::uint8_t> record) override
    {
        messages.emplace_back(cmd, std::vector<std::uint8_t>(record.begin(), record.end()));
    }
    void textReceived() override { messages.emplace_back(std::uint8_t{1}, std::vector<std::uint8_t>()); }
    void updateReplyReceived(std::uint8_t cmd, std::span<const std::uint8_t> payload) override
    {
        messages.emplace_back(cmd, std::vector<std::uint8_t>(payload.begin(), payload.end()));
    }

    std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>> messages;
};

class LinkGoldenTest : public testing::TestWithParam<GoldenMessage>
{
};

TEST_P(LinkGoldenTest, ReportsAreTheVectorsFrames)
{
    const GoldenMessage &golden = GetParam();
    ASSERT_TRUE(golden.error.isEmpty()) << golden.error.toStdString();
    MessageFrames frames(golden.cmd, golden.payload);
    ASSERT_EQ(frames.count(), golden.frames.size());
    Frame frame;
    for (const auto &expected : golden.frames) {
        ASSERT_TRUE(frames.next(frame));
        const Report report = makeReport(frame);
        EXPECT_EQ(report[0], 0);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), report.begin() + 1));
    }
    EXPECT_FALSE(frames.next(frame));
}

TEST_P(LinkGoldenTest, ReceiverGivesTheVectorsMessage)
{
    const GoldenMessage &golden = GetParam();
    ASSERT_TRUE(golden.error.isEmpty()) << golden.error.toStdString();
    CollectingSink sink;
    Receiver receiver(sink);
    for (const auto &frame : golden.frames)
        receiver.takeReport(frame);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].first, golden.cmd);
    EXPECT_EQ(sink.messages[0].second, golden.payload);
}

INSTANTIATE_TEST_SUITE_P(Vectors, LinkGoldenTest, testing::ValuesIn(goldenMessages()),
                         [](const testing::TestParamInfo<GoldenMessage> &vector) {
                             return vector.param.name.toStdString();
                         });

} // namespace

} // namespace vestra7
