// SPDX-License-Identifier: GPL-3.0-or-later
// Command codes carried in a message's trailer, in both directions.
#pragma once

#include <cstdint>

enum Command : std::uint8_t {
    CMD_POLL = 0,             // poll; the adapter answers with its record
    CMD_TEXT = 1,             // adapter to host only: a text, which only triggers a refresh
    CMD_WRITE_RECORD = 128,   // the whole record; the adapter answers with its record
    CMD_FW_CHUNK = 240,       // 544 bytes of the update image; acknowledged with 240
    CMD_FW_END = 250,         // every chunk sent; answered with the update result
    CMD_ENTER_BOOT = 251,     // restart into the boot loader
    CMD_LEAVE_UPDATE = 252,   // the update window was closed
    CMD_RESET_SETTINGS = 253, // reset the adapter's settings; answered with 253
};

// Codes 240 to 255 belong to the update window.
constexpr bool isUpdateCommand(std::uint8_t cmd)
{
    return (cmd & 0xF0u) == 0xF0u;
}
