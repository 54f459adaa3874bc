// SPDX-License-Identifier: GPL-3.0-or-later
// Command codes carried in a message's trailer, in both directions.
#pragma once

#include <cstdint>

namespace vestra7 {

enum class Command : std::uint8_t {
    Poll = 0,              // poll; the adapter answers with its record
    Text = 1,              // adapter to host only: a text, which only triggers a refresh
    WriteRecord = 128,     // the whole record; the adapter answers with its record
    UpdateChunk = 240,     // 544 bytes of the update image; acknowledged with 240
    UpdateEnd = 250,       // every chunk sent; answered with the update result
    EnterBootLoader = 251, // restart into the boot loader
    LeaveUpdate = 252,     // the update is over: back into the firmware
    ResetSettings = 253,   // reset the adapter's settings; answered with 253
};

// The byte a command is on the wire.
constexpr std::uint8_t commandByte(Command command)
{
    return static_cast<std::uint8_t>(command);
}

// The codes as bytes, for code that reads messages as they arrive, before knowing what they hold.
inline constexpr std::uint8_t CMD_POLL = commandByte(Command::Poll);
inline constexpr std::uint8_t CMD_TEXT = commandByte(Command::Text);
inline constexpr std::uint8_t CMD_WRITE_RECORD = commandByte(Command::WriteRecord);
inline constexpr std::uint8_t CMD_FW_CHUNK = commandByte(Command::UpdateChunk);
inline constexpr std::uint8_t CMD_FW_END = commandByte(Command::UpdateEnd);
inline constexpr std::uint8_t CMD_ENTER_BOOT = commandByte(Command::EnterBootLoader);
inline constexpr std::uint8_t CMD_LEAVE_UPDATE = commandByte(Command::LeaveUpdate);
inline constexpr std::uint8_t CMD_RESET_SETTINGS = commandByte(Command::ResetSettings);

// Codes 240 to 255 belong to the firmware update.
constexpr bool isUpdateCommand(std::uint8_t cmd)
{
    return (cmd & 0xF0u) == 0xF0u;
}

} // namespace vestra7
