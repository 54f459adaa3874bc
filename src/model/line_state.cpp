// SPDX-License-Identifier: GPL-3.0-or-later
// The words for a line's state, and the line states and number a call depends on.
#include "model/line_state.h"

#include "model/device_record.h"

#include <QCoreApplication>

#include <algorithm>

namespace vestra7 {

QString lineStateText(std::uint8_t state)
{
    if (canCall(state))
        return QCoreApplication::translate("LineState", "ready");
    if (inCall(state))
        return QCoreApplication::translate("LineState", "in a call");
    return QCoreApplication::translate("LineState", "busy");
}

int activeLine(const DeviceRecord &record)
{
    return record.act_line;
}

std::uint8_t lineState(const DeviceRecord &record, int line)
{
    return record.stat[line];
}

bool anyLineInCall(const DeviceRecord &record)
{
    return std::any_of(std::begin(record.stat), std::end(record.stat), inCall);
}

bool partyNumberGiven(const QString &number)
{
    return number.size() > 2;
}

} // namespace vestra7
