// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a line's health out of the record.
#include "model/line_health.h"

#include "model/text_field.h"

#include <QCoreApplication>

LineState lineState(std::uint8_t stat)
{
    if (stat <= 1)
        return LineState::Ready;
    return stat >= 3 ? LineState::InCall : LineState::Busy;
}

QString lineStateText(LineState state)
{
    switch (state) {
    case LineState::Ready:
        return QCoreApplication::translate("LineState", "ready");
    case LineState::Busy:
        return QCoreApplication::translate("LineState", "busy");
    case LineState::InCall:
        break;
    }
    return QCoreApplication::translate("LineState", "in a call");
}

LineHealth lineHealth(const DeviceRecord &record, int line, AnsiCodec &codec)
{
    return {record.stat[line], record.sim_pres[line], record.rssi[line], readTextField(record.ops[line], codec),
            readTextField(record.ussd_num[line], codec)};
}

QString ussdText(const DeviceRecord &record, AnsiCodec &codec)
{
    return readTextField(record.usd_txt, codec);
}
