// SPDX-License-Identifier: GPL-3.0-or-later
// What a line's state byte allows: placing a call, ending one, or neither; its words for people; and
// what a call needs of the party's number.
#pragma once

#include <QString>

#include <cstdint>

namespace vestra7 {

struct DeviceRecord;

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

// The active line: 0 for A, 1 for B (the adapter alone may report another value).
int activeLine(const DeviceRecord &record);
// The state byte of `line` (0 for A, 1 for B) as the adapter last reported it.
std::uint8_t lineState(const DeviceRecord &record, int line);
// Either line is in a call.
bool anyLineInCall(const DeviceRecord &record);

// A number the adapter can dial: it places no call to one of fewer than three characters.
bool partyNumberGiven(const QString &number);

} // namespace vestra7
