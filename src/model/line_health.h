// SPDX-License-Identifier: GPL-3.0-or-later
// What a record says of each line's health, as the adapter reports it: state, SIM, signal, operator
// and USSD. The adapter alone gives these values their meaning, so they are passed on raw.
#pragma once

#include "model/device_record.h"

#include <QString>

#include <cstdint>

class AnsiCodec;

// What a line's state allows: a call can be placed ("ready"), the call can be ended ("in a call"),
// or neither ("busy").
enum class LineState { Ready, Busy, InCall };

LineState lineState(std::uint8_t stat);
// "ready", "busy" or "in a call", translated.
QString lineStateText(LineState state);

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
