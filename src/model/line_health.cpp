// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a line's health out of the record.
#include "model/line_health.h"

#include "model/text_field.h"

namespace vestra7 {

LineHealth lineHealth(const DeviceRecord &record, int line, AnsiCodec &codec)
{
    return {record.stat[line], record.sim_pres[line], record.rssi[line], readTextField(record.ops[line], codec),
            readTextField(record.ussd_num[line], codec)};
}

QString ussdText(const DeviceRecord &record, AnsiCodec &codec)
{
    return readTextField(record.usd_txt, codec);
}

} // namespace vestra7
