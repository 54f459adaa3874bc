// SPDX-License-Identifier: GPL-3.0-or-later
// What a line's state byte allows: placing a call, ending one, or neither; and its words for people.
#pragma once

#include <QString>

#include <cstdint>

// A call can be placed on the line.
constexpr bool canCall(std::uint8_t state)
{
    return state <= 1;
}

// The line is in a call, which can be ended.
constexpr bool inCall(std::uint8_t state)
{
    return state >= 3;
}

// The state as every window and message names it: "ready" (a call can be placed), "in a call" (the
// call can be ended), "busy" (neither, as while a call is being set up).
QString lineStateText(std::uint8_t state);
