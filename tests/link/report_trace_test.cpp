// SPDX-License-Identifier: GPL-3.0-or-later
// The report log: one readable line per report, whichever thread writes it.
#include "link/frame.h"
#include "link/report_trace.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace vestra7 {

namespace {

TEST(ReportTrace, ALineHoldsTheDirectionAndTheBytesWithTrailingZerosCounted)
{
    const Report poll = makeReport(makeTrailerFrame({0, 0xFFFF, 0}));
    EXPECT_EQ(ReportTrace::describe(ReportTrace::Direction::Out, poll),
              QStringLiteral("out 00 fb 00 00 ff ff +59 zero"));
    const std::uint8_t reply[] = {0xFA, 0x01, 0x00, 0x7F};
    EXPECT_EQ(ReportTrace::describe(ReportTrace::Direction::In, reply), QStringLiteral("in  fa 01 00 7f"));
}

TEST(ReportTrace, LinesFromTwoThreadsStayWhole)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("trace.log"));
    Result<std::unique_ptr<ReportTrace>> opened = ReportTrace::open(path);
    ASSERT_TRUE(opened) << opened.error().message.toStdString();
    const std::unique_ptr<ReportTrace> trace = std::move(*opened);
    const Report report = makeReport(makeTrailerFrame({1789, 0x1234, 128}));
    constexpr int kEach = 200;
    std::thread writer([&] {
        for (int i = 0; i < kEach; ++i)
            trace->record(ReportTrace::Direction::Out, report);
    });
    for (int i = 0; i < kEach; ++i)
        trace->record(ReportTrace::Direction::In, report);
    writer.join();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2 * kEach);
    const QRegularExpression shape(
        QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3} (out|in ) 00 fb fd 06 34 12 80 \+58 zero$)"));
    for (const QString &line : lines)
        ASSERT_TRUE(shape.match(line).hasMatch()) << line.toStdString();
}

TEST(ReportTrace, AFileThatCannotBeWrittenSaysWhy)
{
    const Result<std::unique_ptr<ReportTrace>> opened =
        ReportTrace::open(QStringLiteral("/proc/no-such-folder/trace.log"));
    EXPECT_FALSE(opened);
    EXPECT_FALSE(opened.error().message.isEmpty());
}

} // namespace

} // namespace vestra7
