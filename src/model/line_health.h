// SPDX-License-Identifier: GPL-3.0-or-later
// What a record says of each line's health, as the adapter reports it: state, SIM, signal, operator
// and USSD. The adapter alone gives these values their meaning, so they are passed on raw.
#pragma once

#include "model/device_record.h"

#include <QString>

#include <cstdint>

namespace vestra7 {

class AnsiCodec;

struct LineHealth
{
    std::uint8_t state = 0; // the raw `stat`
    std::uint8_t simPresence = 0;
    std::int8_t signalLevel = 0;
    QString operatorName;
    QString ussdNumber;
};

LineHealth lineHealth(const DeviceRecord &record, int line, AnsiCodec &codec);
// The adapter's last USSD text, one for both lines.
QString ussdText(const DeviceRecord &record, AnsiCodec &codec);

} // namespace vestra7
