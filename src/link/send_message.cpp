// SPDX-License-Identifier: GPL-3.0-or-later
// The sender side of the link.
#include "link/send_message.h"

#include "link/frame.h"
#include "link/report_writer.h"
#include "link/request.h"

#include <algorithm>
#include <span>

namespace vestra7 {

SendOutcome sendMessage(const Request &request, ReportWriter *writer)
{
    const Request message = request;
    SendOutcome outcome;
    if (writer == nullptr)
        return outcome;

    const std::span<const std::uint8_t> payload =
        message.data != nullptr ? std::span(message.data, message.len) : std::span<const std::uint8_t>();
    MessageFrames frames(message.cmd, payload);
    Frame frame;
    while (frames.next(frame)) {
        const Report report = makeReport(frame);
        // Never hand the layer more than the one report held here, whatever length it claims.
        const std::size_t length = std::min(writer->outputReportLength(), report.size());
        const Result<std::size_t> written = writer->writeReport(std::span(report).first(length));
        if (!written) {
            outcome.uninterrupted = written.error();
            break;
        }
        outcome.written = static_cast<std::uint16_t>(outcome.written + *written);
    }
    return outcome;
}

} // namespace vestra7
