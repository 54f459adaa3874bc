// SPDX-License-Identifier: GPL-3.0-or-later
// Table-driven CRC-16/MODBUS.
#include "link/crc.h"

#include <array>

namespace vestra7 {

namespace {

constexpr std::array<std::uint16_t, 256> makeTable()
{
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        table[i] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> kTable = makeTable();
static_assert(kTable[1] == 0xC0C1 && kTable[255] == 0x4040);

} // namespace

std::uint16_t crc16(const std::uint8_t *data, int length)
{
    std::uint16_t crc = 0xFFFF;
    if (data == nullptr)
        return crc;
    for (int i = 0; i < length; ++i)
        crc = static_cast<std::uint16_t>(kTable[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8));
    return crc;
}

} // namespace vestra7
