// SPDX-License-Identifier: GPL-3.0-or-later
// One message for the adapter, as posted into the mailbox.
#pragma once

#include <cstdint>

namespace vestra7 {

struct Request
{
    std::uint8_t cmd = 0;
    const std::uint8_t *data = nullptr; // not owned; null when there is no payload
    std::uint16_t len = 0;
    std::uint8_t result = 0; // 1 when the last send wrote at least one byte
};

} // namespace vestra7
