// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the report log.
#include "link/report_trace.h"

#include <QDateTime>

std::unique_ptr<ReportTrace> ReportTrace::open(const QString &path, QString *error)
{
    std::unique_ptr<ReportTrace> trace(new ReportTrace);
    trace->m_file.setFileName(path);
    if (!trace->m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        if (error)
            *error = trace->m_file.errorString();
        return nullptr;
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
    const QString line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs) + QLatin1Char(' ') + text +
                         QLatin1Char('\n');
    m_file.write(line.toUtf8());
    // Flushed at once: the log must hold what happened also when the program does not end in order.
    m_file.flush();
}
