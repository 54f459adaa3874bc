// SPDX-License-Identifier: GPL-3.0-or-later
// CRC-16/MODBUS, the checksum of every message on the link.
#pragma once

#include <cstdint>

namespace vestra7 {

// Reflected polynomial 0xA001, initial value 0xFFFF, no final XOR. No data, or a length of 0 or
// less, gives 0xFFFF.
std::uint16_t crc16(const std::uint8_t *data, int length);

} // namespace vestra7
