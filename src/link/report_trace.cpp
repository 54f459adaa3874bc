// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the report log.
#include "link/report_trace.h"

#include "model/file_name_bytes.h"

#include <QDateTime>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vestra7 {

Result<std::unique_ptr<ReportTrace>> ReportTrace::open(const QString &path)
{
    std::unique_ptr<ReportTrace> trace(new ReportTrace);
    // Opened by the bytes of its name, which need not be UTF-8, and readable by the user alone: the
    // reports carry phone numbers. A log grows line by line, so it is written in place.
    const int fd = ::open(fileNameBytes(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return Error{qt_error_string(errno)};
    if (!trace->m_file.open(fd, QIODevice::WriteOnly | QIODevice::Text, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Error{trace->m_file.errorString()};
    }
    return trace;
}

QString ReportTrace::describe(Direction direction, std::span<const std::uint8_t> report)
{
    std::size_t used = report.size();
    while (used > 0 && report[used - 1] == 0)
        --used;
    QString line = direction == Direction::Out ? QStringLiteral("out") : QStringLiteral("in ");
    for (std::size_t i = 0; i < used; ++i)
        line += QStringLiteral(" %1").arg(report[i], 2, 16, QLatin1Char('0'));
    if (used < report.size())
        line += QStringLiteral(" +%1 zero").arg(report.size() - used);
    return line;
}

void ReportTrace::record(Direction direction, std::span<const std::uint8_t> report)
{
    const QString text = describe(direction, report);
    // The time is read under the lock too: the C library's local-time conversion is not safe to run
    // on two threads at once.
    const std::lock_guard lock(m_mutex);
    const QString line =
        QDateTime::currentDateTime().toString(Qt::ISODateWithMs) + QLatin1Char(' ') + text + QLatin1Char('\n');
    m_file.write(line.toUtf8());
    // Flushed at once: the log must hold what happened also when the program does not end in order.
    m_file.flush();
}

} // namespace vestra7
