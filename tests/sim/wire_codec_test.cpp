// SPDX-License-Identifier: GPL-3.0-or-later
// The emulator's own framing against the golden vectors and the ways a message gets lost.
#include "sim/wire_codec.h"
#include "support/golden_vectors.h"

#include <gtest/gtest.h>

#include <string>

namespace vestra7 {

namespace {

std::vector<std::uint8_t> bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

class WireGoldenTest : public testing::TestWithParam<GoldenMessage>
{
};

TEST_P(WireGoldenTest, FramesAndUnframesAsTheVectorSays)
{
    const GoldenMessage &golden = GetParam();
    ASSERT_TRUE(golden.error.isEmpty()) << golden.error.toStdString();

    const std::vector<WireFrame> frames = wireFrames(golden.cmd, golden.payload);
    ASSERT_EQ(frames.size(), golden.frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], golden.frames[i]) << "frame " << i;

    WireCollector collector;
    for (std::size_t i = 0; i + 1 < golden.frames.size(); ++i)
        EXPECT_FALSE(collector.take(golden.frames[i])) << "frame " << i << " ended the message";
    EXPECT_EQ(collector.take(golden.frames.back()), (ReceivedMessage{golden.cmd, golden.payload}));
}

INSTANTIATE_TEST_SUITE_P(Vectors, WireGoldenTest, testing::ValuesIn(goldenMessages()),
                         [](const testing::TestParamInfo<GoldenMessage> &vector) {
                             return vector.param.name.toStdString();
                         });

TEST(WireChecksum, MatchesTheCatalogueValues)
{
    EXPECT_EQ(wireChecksum({}), 0xFFFF);
    EXPECT_EQ(wireChecksum(bytes("123456789")), 0x4B37); // the check value of CRC-16/MODBUS
    EXPECT_EQ(wireChecksum(std::vector<std::uint8_t>(1, 0)), 0x40BF);
}

// What the collector makes of frames that do not form one clean message.
struct CollectorCase
{
    const char *name;
    std::vector<WireFrame> frames;
    std::vector<ReceivedMessage> expected; // in order, from the trailers that completed a message
};

void PrintTo(const CollectorCase &entry, std::ostream *out)
{
    *out << entry.name;
}

WireFrame dataFrame(std::uint8_t fill)
{
    WireFrame frame{};
    frame.fill(fill);
    frame[0] = 0xFA;
    return frame;
}

std::vector<WireFrame> framesOf(std::uint8_t cmd, const std::vector<std::uint8_t> &payload)
{
    return wireFrames(cmd, payload);
}

std::vector<WireFrame> joined(std::initializer_list<std::vector<WireFrame>> parts)
{
    std::vector<WireFrame> all;
    for (const auto &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<CollectorCase> collectorCases()
{
    const std::vector<std::uint8_t> hello = bytes("hello");
    std::vector<WireFrame> damaged = framesOf(128, hello);
    damaged.front()[3] ^= 0x10;
    std::vector<WireFrame> lostTrailer = framesOf(128, hello);
    lostTrailer.pop_back();
    WireFrame foreign{};
    foreign[0] = 0x00;
    // Claims a byte more than one data frame holds; read past the data as a zero, it would check.
    std::vector<std::uint8_t> oneMore(kWireDataBytes, 1);
    oneMore.push_back(0);
    const WireFrame longer = framesOf(240, oneMore).back();
    const std::vector<WireFrame> chunk = framesOf(240, std::vector<std::uint8_t>(63, 9));
    return {
        {"DamagedPayloadIsDroppedAndForgotten", joined({damaged, framesOf(0, {})}), {{0, {}}}},
        {"LostTrailerMakesTheNextMessageCheckItsData", joined({lostTrailer, framesOf(128, bytes("world"))}), {}},
        {"LostTrailerOfEqualDataStillChecks", joined({lostTrailer, framesOf(128, hello)}), {{128, hello}}},
        {"UnknownMarkerIsSkippedKeepingTheData",
         {chunk[0], foreign, chunk[1]},
         {{240, std::vector<std::uint8_t>(63, 9)}}},
        {"LengthBeyondTheDataIsDropped", {dataFrame(1), longer}, {}},
        {"PaddingPastTheLengthIsNotPayload",
         {dataFrame(0), framesOf(5, std::vector<std::uint8_t>(10, 0)).back()},
         {{5, std::vector<std::uint8_t>(10, 0)}}},
    };
}

class WireCollectorTest : public testing::TestWithParam<CollectorCase>
{
};

TEST_P(WireCollectorTest, GivesOnlyMessagesThatCheck)
{
    WireCollector collector;
    std::vector<ReceivedMessage> messages;
    for (const WireFrame &frame : GetParam().frames)
        if (auto message = collector.take(frame))
            messages.push_back(std::move(*message));
    EXPECT_EQ(messages, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, WireCollectorTest, testing::ValuesIn(collectorCases()),
                         [](const testing::TestParamInfo<CollectorCase> &entry) {
                             return std::string(entry.param.name);
                         });

TEST(WireCollector, IgnoresShortFramesAndKeepsWhatALengthCanClaim)
{
    WireCollector collector;
    const std::vector<std::uint8_t> longest(kWireMaxPayload, 7);
    const WireFrame trailer = framesOf(0, longest).back();
    EXPECT_FALSE(collector.take(dataFrame(7)));
    const WireFrame poll = framesOf(0, {}).back();
    EXPECT_FALSE(collector.take(std::span(poll).first(kWireFrameSize - 1)));
    // Data beyond what the longest message holds, then its trailer: the start still counts.
    for (std::size_t i = 0; i < 2 * kWireMaxPayload / kWireDataBytes; ++i)
        EXPECT_FALSE(collector.take(dataFrame(7)));
    EXPECT_EQ(collector.take(trailer), (ReceivedMessage{0, longest}));
}

} // namespace

} // namespace vestra7
