// SPDX-License-Identifier: GPL-3.0-or-later
// Records and parties for tests, built with the model alone.
#pragma once

#include "model/device_record.h"

#include <string_view>

namespace vestra7 {

// A record as a running adapter sends it: settings at their defaults, both lines ready to call with
// a SIM in place, some signal, an operator named on each.
DeviceRecord readyRecord();

// The bytes as given, cut to the fields' widths and zero-filled; no code page is involved, so a test
// can put any bytes there.
PartyEntry makeParty(std::string_view name, std::string_view number);

} // namespace vestra7
