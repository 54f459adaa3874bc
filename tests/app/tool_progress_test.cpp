// SPDX-License-Identifier: GPL-3.0-or-later
// An update's progress: redrawn in place on a terminal, a line per ten per cent in a log.
#include "app/tool_progress.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace vestra7 {

TEST(ToolProgress, ALogGetsOneLinePerTenPerCentReachedAndNeverMoreThanAHundred)
{
    QBuffer log;
    log.open(QIODevice::WriteOnly);
    ToolProgress progress(log, false, QStringLiteral("S1"));
    for (const std::uint64_t position : {0u, 50u, 99u, 100u, 450u, 999u, 1088u})
        progress.show(position, 1000); // the last chunk goes past the end
    progress.finish();
    EXPECT_EQ(log.data(), "S1: 0 %\nS1: 10 %\nS1: 40 %\nS1: 90 %\nS1: 100 %\n");
}

TEST(ToolProgress, ATerminalGetsABarRedrawnInPlaceAndEndedWithANewLine)
{
    QBuffer terminal;
    terminal.open(QIODevice::WriteOnly);
    ToolProgress progress(terminal, true, QStringLiteral("S1"));
    progress.show(500, 1000);
    EXPECT_EQ(terminal.data(), "\rS1 [###############---------------]  50.0 %");
    progress.show(1200, 1000);
    progress.finish();
    EXPECT_TRUE(terminal.data().endsWith("\rS1 [##############################] 100.0 %\n"))
        << terminal.data().toStdString();
}

TEST(ToolProgress, SeveralAdaptersGetALineEachInALogAndOnATerminalEachRewrittenWhereItStands)
{
    QBuffer log;
    log.open(QIODevice::WriteOnly);
    ToolProgress logged(log, false, QStringList{QStringLiteral("S1"), QStringLiteral("S2")});
    logged.show(1, 100, 1000);
    logged.show(0, 50, 1000);
    logged.show(1, 150, 1000);
    logged.show(0, 120, 1000);
    logged.finish();
    EXPECT_EQ(log.data(), "S2: 10 %\nS1: 0 %\nS1: 10 %\n") << "each adapter's tenths counted on their own";

    QBuffer terminal;
    terminal.open(QIODevice::WriteOnly);
    ToolProgress drawn(terminal, true, QStringList{QStringLiteral("S1"), QStringLiteral("S2")});
    drawn.show(1, 500, 1000);
    const QByteArray empty = "[------------------------------]   0.0 %\n";
    EXPECT_EQ(terminal.data(),
              "S1 " + empty + "S2 " + empty + "\x1b[1A\rS2 [###############---------------]  50.0 %\x1b[K\x1b[1B\r");
    terminal.buffer().clear();
    terminal.seek(0);
    drawn.show(0, 1000, 1000);
    drawn.finish();
    EXPECT_EQ(terminal.data(), "\x1b[2A\rS1 [##############################] 100.0 %\x1b[K\x1b[2B\r")
        << "two lines up and back; nothing more at the end, the cursor already stands below them";
}

} // namespace vestra7
