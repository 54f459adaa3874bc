// SPDX-License-Identifier: GPL-3.0-or-later
// The adapter's USB identity.
#include "link/adapter_device.h"

namespace vestra7 {

namespace {

constexpr char kAdapterManufacturer[] = "TARNIX";

} // namespace

bool isAdapterManufacturer(const QString &manufacturer)
{
    return manufacturer == QLatin1String(kAdapterManufacturer);
}

QString deviceVersionText(std::uint16_t releaseNumber)
{
    return QStringLiteral("%1.%2").arg(releaseNumber >> 8).arg(releaseNumber & 0xFFu);
}

} // namespace vestra7
