// SPDX-License-Identifier: GPL-3.0-or-later
// The sender: byte-exact reports, the wrapping count, and how write failures end or don't end a message.
#include "link/commands.h"
#include "link/crc.h"
#include "link/frame.h"
#include "link/report_writer.h"
#include "link/request.h"
#include "link/send_message.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace vestra7 {

namespace {

class RecordingWriter : public ReportWriter
{
public:
    std::size_t outputReportLength() override { return reportLength; }
    Result<std::size_t> writeReport(std::span<const std::uint8_t> report) override
    {
        const std::size_t index = reports.size();
        reports.emplace_back(report.begin(), report.end());
        if (index == errorAt)
            return Error{"The device does not respond."};
        return index == failAt ? 0 : report.size();
    }

    std::size_t reportLength = kReportSize;
    std::size_t failAt = SIZE_MAX;
    std::size_t errorAt = SIZE_MAX;
    std::vector<std::vector<std::uint8_t>> reports;
};

std::vector<std::uint8_t> counting(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
    return bytes;
}

Request requestFor(std::uint8_t cmd, const std::vector<std::uint8_t> &payload)
{
    Request request;
    request.cmd = cmd;
    request.data = payload.empty() ? nullptr : payload.data();
    request.len = static_cast<std::uint16_t>(payload.size());
    return request;
}

void expectZerosFrom(const std::vector<std::uint8_t> &report, std::size_t from)
{
    for (std::size_t i = from; i < report.size(); ++i)
        ASSERT_EQ(report[i], 0) << "byte " << i;
}

} // namespace

TEST(SendMessage, PollIsOneTrailerReport)
{
    RecordingWriter writer;
    const SendOutcome outcome = sendMessage(requestFor(CMD_POLL, {}), &writer);
    ASSERT_EQ(writer.reports.size(), 1u);
    const auto &report = writer.reports[0];
    ASSERT_EQ(report.size(), 65u);
    const std::vector<std::uint8_t> head = {0x00, 0xFB, 0x00, 0x00, 0xFF, 0xFF, 0x00};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), report.begin()));
    expectZerosFrom(report, 7);
    EXPECT_EQ(outcome.written, 65);
    EXPECT_TRUE(outcome.uninterrupted);
}

TEST(SendMessage, SixtyThreeBytesFillOneFrameAndSixtyFourSpillOneByte)
{
    RecordingWriter exact;
    const auto payload63 = counting(63);
    sendMessage(requestFor(CMD_WRITE_RECORD, payload63), &exact);
    ASSERT_EQ(exact.reports.size(), 2u);
    EXPECT_EQ(exact.reports[0][1], 0xFA);
    EXPECT_TRUE(std::equal(payload63.begin(), payload63.end(), exact.reports[0].begin() + 2));
    EXPECT_EQ(exact.reports[1][1], 0xFB);

    RecordingWriter spill;
    const auto payload64 = counting(64);
    sendMessage(requestFor(CMD_WRITE_RECORD, payload64), &spill);
    ASSERT_EQ(spill.reports.size(), 3u);
    EXPECT_EQ(spill.reports[1][1], 0xFA);
    EXPECT_EQ(spill.reports[1][2], 64);
    expectZerosFrom(spill.reports[1], 3);
}

TEST(SendMessage, RecordIsTwentyNineDataFramesAndATrailer)
{
    RecordingWriter writer;
    const auto record = counting(1789);
    const SendOutcome outcome = sendMessage(requestFor(CMD_WRITE_RECORD, record), &writer);
    ASSERT_EQ(writer.reports.size(), 30u);
    for (std::size_t i = 0; i < 29; ++i) {
        ASSERT_EQ(writer.reports[i][0], 0x00);
        ASSERT_EQ(writer.reports[i][1], 0xFA);
    }
    const auto &last = writer.reports[28];
    EXPECT_TRUE(std::equal(record.begin() + 28 * 63, record.end(), last.begin() + 2));
    expectZerosFrom(last, 2 + 25);

    const auto &trailer = writer.reports[29];
    const std::uint16_t crc = crc16(record.data(), 1789);
    EXPECT_EQ(trailer[1], 0xFB);
    EXPECT_EQ(trailer[2], 0xFD);
    EXPECT_EQ(trailer[3], 0x06);
    EXPECT_EQ(trailer[4], crc & 0xFF);
    EXPECT_EQ(trailer[5], crc >> 8);
    EXPECT_EQ(trailer[6], 128);
    expectZerosFrom(trailer, 7);
    EXPECT_EQ(outcome.written, 30 * 65);
}

TEST(SendMessage, FirmwareChunkIsNineDataFrames)
{
    RecordingWriter writer;
    const auto chunk = counting(544);
    sendMessage(requestFor(CMD_FW_CHUNK, chunk), &writer);
    ASSERT_EQ(writer.reports.size(), 10u);
    EXPECT_TRUE(std::equal(chunk.begin() + 8 * 63, chunk.end(), writer.reports[8].begin() + 2));
    expectZerosFrom(writer.reports[8], 2 + 40);
    EXPECT_EQ(writer.reports[9][6], 240);
}

TEST(SendMessage, NoDeviceWritesNothing)
{
    const auto record = counting(1789);
    const SendOutcome outcome = sendMessage(requestFor(CMD_WRITE_RECORD, record), nullptr);
    EXPECT_EQ(outcome.written, 0);
    EXPECT_TRUE(outcome.uninterrupted);
}

TEST(SendMessage, QuietFailureStillAttemptsEveryFrame)
{
    RecordingWriter writer;
    writer.failAt = 3;
    const auto record = counting(1789);
    const SendOutcome outcome = sendMessage(requestFor(CMD_WRITE_RECORD, record), &writer);
    EXPECT_EQ(writer.reports.size(), 30u);
    EXPECT_EQ(outcome.written, 29 * 65);
    EXPECT_TRUE(outcome.uninterrupted);
}

TEST(SendMessage, AnErrorEndsTheMessageWithTheCountSoFar)
{
    RecordingWriter writer;
    writer.errorAt = 2;
    const auto record = counting(1789);
    const SendOutcome outcome = sendMessage(requestFor(CMD_WRITE_RECORD, record), &writer);
    EXPECT_EQ(writer.reports.size(), 3u);
    EXPECT_EQ(outcome.written, 2 * 65);
    ASSERT_FALSE(outcome.uninterrupted);
    EXPECT_EQ(outcome.uninterrupted.error().message, QStringLiteral("The device does not respond."));
}

TEST(SendMessage, CountWrapsAtSixteenBits)
{
    RecordingWriter writer;
    const auto big = counting(65535); // 1041 data frames and a trailer
    const SendOutcome outcome = sendMessage(requestFor(CMD_FW_CHUNK, big), &writer);
    ASSERT_EQ(writer.reports.size(), 1042u);
    EXPECT_EQ(outcome.written, static_cast<std::uint16_t>(1042u * 65u));
}

TEST(SendMessage, NeverWritesPastTheReportItHolds)
{
    RecordingWriter longer;
    longer.reportLength = 200;
    sendMessage(requestFor(CMD_POLL, {}), &longer);
    EXPECT_EQ(longer.reports[0].size(), 65u);

    RecordingWriter shorter;
    shorter.reportLength = 9;
    sendMessage(requestFor(CMD_POLL, {}), &shorter);
    EXPECT_EQ(shorter.reports[0].size(), 9u);
}

} // namespace vestra7
