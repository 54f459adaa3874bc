// SPDX-License-Identifier: GPL-3.0-or-later
// The "(boot)" mark by which an adapter's product name tells its boot loader from its firmware.
#pragma once

#include <QString>

namespace vestra7 {

inline constexpr char kBootLoaderMark[] = "(boot)";

// "(boot)" from the second character on marks the boot loader; at the very start it does not.
bool isBootLoaderName(const QString &product);

// The model an adapter is, as update files name it: its product name without the first "(boot)",
// nothing around it trimmed.
QString deviceModelName(const QString &product);

} // namespace vestra7
