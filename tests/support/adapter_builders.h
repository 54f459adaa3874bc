// SPDX-License-Identifier: GPL-3.0-or-later
// Emulated adapters set up as the tests that watch several at once need them.
#pragma once

#include "sim/emulated_adapter.h"

#include <cstdint>
#include <memory>

namespace vestra7 {

// An adapter of its own serial number whose line A reports the signal level `levelA`.
std::shared_ptr<EmulatedAdapter> adapterWithSignal(const char *serial, std::int8_t levelA);

} // namespace vestra7
