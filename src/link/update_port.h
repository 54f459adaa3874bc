// SPDX-License-Identifier: GPL-3.0-or-later
// What a firmware update needs of the link: a way to the adapter.
#pragma once

#include "link/commands.h"

#include <span>

namespace vestra7 {

class UpdatePort
{
public:
    virtual ~UpdatePort() = default;

    // Places a message for the adapter in the request slot, replacing one the worker has not taken
    // yet. The payload is copied.
    virtual void post(Command command, std::span<const std::uint8_t> payload = {}) = 0;
};

} // namespace vestra7
