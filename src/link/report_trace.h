// SPDX-License-Identifier: GPL-3.0-or-later
// A log of every report to and from the adapter, for support to read: one line per report.
#pragma once

#include "model/result.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

namespace vestra7 {

class ReportTrace
{
public:
    enum class Direction { Out, In };

    // Opens (replacing) the file; null with `error` set when it cannot be written.
    static Result<std::unique_ptr<ReportTrace>> open(const QString &path);

    // Any thread. A line holds the local time to the millisecond, "out" or "in", and the report's
    // bytes in hex; a run of zero bytes at its end is written as its count, so a line stays short.
    void record(Direction direction, std::span<const std::uint8_t> report);

    // The text of one line, without its time and end of line.
    static QString describe(Direction direction, std::span<const std::uint8_t> report);

private:
    ReportTrace() = default;

    std::mutex m_mutex;
    QFile m_file;
};

} // namespace vestra7
