// SPDX-License-Identifier: GPL-3.0-or-later
// What tells the adapter's HID devices from the others, and how their version reads.
#pragma once

#include <QString>

#include <cstdint>

namespace vestra7 {

// Whether a HID device with this manufacturer string is the adapter, in its firmware or its boot loader.
bool isAdapterManufacturer(const QString &manufacturer);

// The HID device's release number as major.minor, from its high and low byte: 0x010A gives "1.10".
QString deviceVersionText(std::uint16_t releaseNumber);

} // namespace vestra7
