// SPDX-License-Identifier: GPL-3.0-or-later
// Emulated adapters set up as the tests that watch several at once need them.
#pragma once

#include "sim/emulated_adapter.h"

#include <cstdint>
#include <memory>

namespace vestra7 {

// An adapter of its own serial number whose line A reports the signal level `levelA`.
std::shared_ptr<EmulatedAdapter> adapterWithSignal(const char *serial, std::int8_t levelA);
// An adapter of its own serial number whose first contact is named `owner`, so that a record read
// tells which adapter it came from; its boot loader reports the serial number unless told not to.
std::shared_ptr<EmulatedAdapter> adapterOwnedBy(const char *serial, const char *owner, bool bootLoaderSerial = true);
// Whether the adapter has received a message with this command code.
bool received(const EmulatedAdapter &adapter, std::uint8_t cmd);

} // namespace vestra7
