// SPDX-License-Identifier: GPL-3.0-or-later
// Where the signal plot's axes put their ticks: at round levels and at whole minutes of local time.
#pragma once

#include <QString>

#include <vector>

namespace vestra7 {

struct LevelScale
{
    int low = 0;
    int high = 0;
    int interval = 10; // between two ticks

    bool operator==(const LevelScale &) const = default;
};

// A range around the levels from `lowest` to `highest`, with a margin of at least one, whose ends and
// ticks are whole multiples of the interval: 5 where that makes at most eight steps, else 10, 20 or 50.
// The axis moves only when a level leaves it.
LevelScale levelScale(int lowest, int highest);

// The ticks from `from` to `to` (milliseconds since the epoch) at whole minutes of local time, local
// time being `utcOffsetSeconds` ahead of UTC: every 1, 2, 5, 10, 30 or 60 minutes, the first of those
// that gives at most `maxTicks`.
std::vector<qint64> timeTicks(qint64 from, qint64 to, int utcOffsetSeconds, int maxTicks = 6);

// The offset as it names a time zone: "UTC", "UTC+01:00", "UTC-03:30".
QString utcOffsetText(int utcOffsetSeconds);

} // namespace vestra7
