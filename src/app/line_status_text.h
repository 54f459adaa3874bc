// SPDX-License-Identifier: GPL-3.0-or-later
// What `status` prints of an adapter's lines: a block, a line for watching, and JSON.
#pragma once

#include "model/device_record.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace vestra7 {

class AnsiCodec;

// "  line A: ready (1), SIM 1, signal -63, operator "Nordline", USSD number "*100#"" and so on for
// line B, then the USSD text; each line ends with a line break.
QString lineStatusBlock(const DeviceRecord &record, AnsiCodec &codec);
// Each line's part of the line below: "A: ready (1) SIM 1 signal -63 "Nordline"", "B: …".
QStringList lineStatusParts(const DeviceRecord &record, AnsiCodec &codec);
// Both lines in one line, for --watch: "A: ready (1) SIM 1 signal -63 "Nordline" | B: …".
QString lineStatusLine(const DeviceRecord &record, AnsiCodec &codec);
// {"lines": [{"line": "A", "state": 1, "stateText": "ready", "sim": 1, "signal": -63,
//   "operator": "Nordline", "ussdNumber": "*100#"}, …], "ussdText": "…"}
QJsonObject lineStatusJson(const DeviceRecord &record, AnsiCodec &codec);

} // namespace vestra7
