// SPDX-License-Identifier: GPL-3.0-or-later
// Where the sender writes its output reports: the claimed device, or a test's fake.
#pragma once

#include "model/result.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace vestra7 {

class ReportWriter
{
public:
    virtual ~ReportWriter() = default;

    // The device's output report length, report ID included.
    virtual std::size_t outputReportLength() = 0;
    // Writes one output report synchronously and returns the bytes written, 0 when the device is
    // gone; a failure the user must be told of comes back as the error.
    virtual Result<std::size_t> writeReport(std::span<const std::uint8_t> report) = 0;
};

} // namespace vestra7
