// SPDX-License-Identifier: GPL-3.0-or-later
// The signal plot's ticks, computed apart from the drawing.
#include "ui/plot_scale.h"

#include <array>
#include <cstdlib>

namespace vestra7 {

namespace {

// Rounds towards minus infinity, for negative values too.
qint64 floorTo(qint64 value, qint64 step)
{
    const qint64 rest = value % step;
    return rest < 0 ? value - rest - step : value - rest;
}

qint64 ceilTo(qint64 value, qint64 step)
{
    return -floorTo(-value, step);
}

} // namespace

LevelScale levelScale(int lowest, int highest)
{
    constexpr int kMostSteps = 8;
    constexpr std::array<int, 4> kIntervals{5, 10, 20, 50};
    LevelScale scale;
    for (const int interval : kIntervals) {
        scale = {static_cast<int>(floorTo(lowest - 1, interval)), static_cast<int>(ceilTo(highest + 1, interval)),
                 interval};
        if ((scale.high - scale.low) / interval <= kMostSteps)
            break;
    }
    return scale;
}

std::vector<qint64> timeTicks(qint64 from, qint64 to, int utcOffsetSeconds, int maxTicks)
{
    constexpr std::array<qint64, 6> kMinutes{1, 2, 5, 10, 30, 60};
    const qint64 offset = qint64{utcOffsetSeconds} * 1000;
    std::vector<qint64> ticks;
    for (const qint64 minutes : kMinutes) {
        const qint64 step = minutes * 60'000;
        ticks.clear();
        for (qint64 local = ceilTo(from + offset, step); local <= to + offset; local += step)
            ticks.push_back(local - offset);
        if (static_cast<int>(ticks.size()) <= maxTicks)
            break;
    }
    return ticks;
}

QString utcOffsetText(int utcOffsetSeconds)
{
    if (utcOffsetSeconds == 0)
        return QStringLiteral("UTC");
    const int minutes = std::abs(utcOffsetSeconds) / 60;
    return QStringLiteral("UTC%1%2:%3")
        .arg(utcOffsetSeconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace vestra7
