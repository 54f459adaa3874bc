// SPDX-License-Identifier: GPL-3.0-or-later
// Framing one message into output reports and writing them to the adapter.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

struct Request;
class ReportWriter;

struct SendOutcome
{
    std::uint16_t written = 0;    // bytes the HID layer reported written, wrapping at 16 bits
    std::optional<QString> error; // the text of an error that ended the message
};

// Writes the request's payload in data frames and then its trailer, every report attempted even
// when an earlier one wrote nothing. With no writer (no adapter claimed) nothing is written. An
// error raised by the writer ends the message and is handed back for the user.
SendOutcome sendMessage(const Request &request, ReportWriter *writer);
