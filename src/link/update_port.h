// SPDX-License-Identifier: GPL-3.0-or-later
// What a firmware update needs of the link: a way to the adapter and the pause of the polling.
#pragma once

#include <cstdint>
#include <span>

class UpdatePort
{
public:
    virtual ~UpdatePort() = default;

    // Places a message for the adapter in the request slot, replacing one the worker has not taken
    // yet. The payload is copied.
    virtual void post(std::uint8_t cmd, std::span<const std::uint8_t> payload = {}) = 0;
    // Whether the adapter counts as held in its boot loader. While it does, the main window does not
    // poll; only the update lets go of it.
    virtual void setBootMode(bool bootMode) = 0;
};
