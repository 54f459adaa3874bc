// SPDX-License-Identifier: GPL-3.0-or-later
// CRC-16/MODBUS against its published check value and the empty cases.
#include "link/crc.h"

#include <gtest/gtest.h>

namespace vestra7 {

TEST(Crc16, StandardCheckValue)
{
    const char *check = "123456789";
    EXPECT_EQ(crc16(reinterpret_cast<const std::uint8_t *>(check), 9), 0x4B37);
}

TEST(Crc16, NoBytesGiveTheInitialValue)
{
    const std::uint8_t byte = 0x55;
    EXPECT_EQ(crc16(&byte, 0), 0xFFFF);
    EXPECT_EQ(crc16(&byte, -5), 0xFFFF);
    EXPECT_EQ(crc16(nullptr, 100), 0xFFFF);
}

TEST(Crc16, SingleBytes)
{
    const std::uint8_t zero = 0x00;
    const std::uint8_t ff = 0xFF;
    EXPECT_EQ(crc16(&zero, 1), 0x40BF);
    EXPECT_EQ(crc16(&ff, 1), 0x00FF);
}

} // namespace vestra7
