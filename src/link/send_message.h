// SPDX-License-Identifier: GPL-3.0-or-later
// Framing one message into output reports and writing them to the adapter.
#pragma once

#include "model/result.h"

#include <cstdint>

namespace vestra7 {

struct Request;
class ReportWriter;

struct SendOutcome
{
    std::uint16_t written = 0; // bytes the HID layer reported written, wrapping at 16 bits
    // Holds when no write error cut the message short (reports that wrote nothing still count as
    // tried); otherwise the error that did, for the user.
    Result<void> uninterrupted = {};
};

// Writes the request's payload in data frames and then its trailer, every report attempted even
// when an earlier one wrote nothing. With no writer (no adapter claimed) nothing is written. An
// error from the writer ends the message and is handed back for the user.
SendOutcome sendMessage(const Request &request, ReportWriter *writer);

} // namespace vestra7
