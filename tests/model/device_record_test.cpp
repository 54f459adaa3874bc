// SPDX-License-Identifier: GPL-3.0-or-later
// The record's signedness where the adapter relies on it, its defaults and its partial overwrites.
#include "model/device_record.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vestra7 {

TEST(DeviceRecordLayout, GainsAreSignedAndDelaysUnsigned)
{
    DeviceRecord record{};
    record.bytes()[1769] = 0x80;
    record.bytes()[1770] = 0xFF;
    record.bytes()[1787] = 0x80;
    record.bytes()[129] = 0xFF;
    EXPECT_EQ(record.mic_gain, -128);
    EXPECT_EQ(record.spk_gain, -1);
    EXPECT_EQ(record.auto_answer[0], 128);
    EXPECT_EQ(record.resp[0], -1);
}

TEST(DeviceRecordDefaults, AllZeroButTheTwoGains)
{
    DeviceRecord record;
    std::memset(&record, 0xA5, sizeof record);
    setDefaults(record);
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        const int expected = i == 1769 ? 5 : i == 1770 ? 10 : 0;
        ASSERT_EQ(record.bytes()[i], expected) << "byte " << i;
    }
}

TEST(DeviceRecordPrefix, ShortInputLeavesTheRestAndLongInputIsCut)
{
    DeviceRecord record;
    std::memset(&record, 0x11, sizeof record);
    const std::uint8_t ten[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    overwritePrefix(record, ten);
    EXPECT_EQ(record.act_line, 1);
    EXPECT_EQ(record.usd_txt[8], 10);
    EXPECT_EQ(record.usd_txt[9], 0x11);

    std::vector<std::uint8_t> big(5000, 0x22);
    overwritePrefix(record, big);
    EXPECT_EQ(record.auto_answer[1], 0x22);
}

TEST(DeviceRecordActiveLine, OnlyLinesAAndBHaveAParty)
{
    DeviceRecord record{};
    record.act_line = 1;
    EXPECT_EQ(activeSubscriber(record), &record.subscriber[1]);
    record.act_line = 2;
    EXPECT_EQ(activeSubscriber(record), nullptr);
    record.act_line = 255;
    EXPECT_EQ(activeSubscriber(std::as_const(record)), nullptr);
}

} // namespace vestra7
