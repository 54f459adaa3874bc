// SPDX-License-Identifier: GPL-3.0-or-later
// Two programs on one adapter behind a virtual hidraw node: the exporter holds it, a command asks
// for it and gets it while the exporter reports it held by another program, and the exporter takes
// it back once the command is done; a command that claims nothing leaves it be.
#include "exporter_process.h"
#include "sim/emulated_adapter.h"
#include "support/gui_wait.h"
#include "support/virtual_hidraw.h"

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

constexpr auto kWait = 15s;

struct CommandRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// `vestra7 <arguments>` on the testbed's nodes, in the C locale.
CommandRun runCommand(const VirtualHidraw &hidraw, const QStringList &arguments)
{
    QProcess command;
    command.setProcessEnvironment(hidraw.childEnvironment());
    command.start(QStringLiteral(VESTRA7_PROGRAM), arguments);
    if (!waitUntil([&] { return command.state() == QProcess::NotRunning; }, kWait) ||
        command.exitStatus() != QProcess::NormalExit)
        return {};
    return {command.exitCode(), command.readAllStandardOutput(), command.readAllStandardError()};
}

} // namespace

// Every list used to take the adapter's lock, and so ask the exporter for it: run in a loop, it kept
// the exporter off its adapter.
TEST(ExporterHandOver, ListRunInALoopLeavesTheExporterHoldingItsAdapter)
{
    if (!VirtualHidraw::isAvailable())
        GTEST_SKIP() << "runs under umockdev-wrapper";
    VirtualHidraw hidraw;
    hidraw.plug(std::make_shared<EmulatedAdapter>(EmulatedIdentity::withSerialNumber(QStringLiteral("V7-A"))));
    ExporterProcess exporter;
    ASSERT_TRUE(exporter.start(hidraw.rootDir(), {QStringLiteral("--serial"), QStringLiteral("V7-A")}, kWait));
    const auto shows = [&exporter](const char *series) {
        return exporter.metrics().contains(QByteArray(series) + '\n');
    };
    ASSERT_TRUE(waitUntil([&] { return shows("vestra7_adapter_connected{adapter=\"V7-A\"} 1"); }, kWait));

    for (int run = 0; run < 5; ++run) {
        const CommandRun list = runCommand(hidraw, {QStringLiteral("list")});
        ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
        EXPECT_TRUE(list.out.startsWith("V7-A\t")) << list.out.toStdString();
        EXPECT_TRUE(shows("vestra7_adapter_held_by_other_program{adapter=\"V7-A\"} 0")) << "after list " << run;
        EXPECT_TRUE(shows("vestra7_adapter_connected{adapter=\"V7-A\"} 1")) << "after list " << run;
    }
}

TEST(ExporterHandOver, ACommandGetsTheAdapterWhichTheExporterReportsHeldMeanwhileAndTakesBackAfter)
{
    if (!VirtualHidraw::isAvailable())
        GTEST_SKIP() << "runs under umockdev-wrapper";
    VirtualHidraw hidraw;
    auto adapter = std::make_shared<EmulatedAdapter>(EmulatedIdentity::withSerialNumber(QStringLiteral("V7-A")));
    DeviceRecord record = initialAdapterRecord();
    record.rssi[0] = -61;
    adapter->setRecord(record);
    hidraw.plug(adapter);

    ExporterProcess exporter;
    ASSERT_TRUE(exporter.start(hidraw.rootDir(), {QStringLiteral("--serial"), QStringLiteral("V7-A")}, kWait));
    const auto shows = [&exporter](const char *series) {
        return exporter.metrics().contains(QByteArray(series) + '\n');
    };
    ASSERT_TRUE(waitUntil([&] { return shows("vestra7_adapter_connected{adapter=\"V7-A\"} 1"); }, kWait));

    QProcess command;
    command.setProcessEnvironment(hidraw.childEnvironment());
    command.start(QStringLiteral(VESTRA7_PROGRAM),
                  {QStringLiteral("status"), QStringLiteral("--serial"), QStringLiteral("V7-A")});
    // The exporter reports the adapter held from when it lets go until it has it back, which is no
    // sooner than the command's request has gone stale: seen by scrapes well apart.
    bool heldMeanwhile = false;
    ASSERT_TRUE(waitUntil(
        [&] {
            heldMeanwhile = heldMeanwhile || shows("vestra7_adapter_held_by_other_program{adapter=\"V7-A\"} 1");
            return command.state() == QProcess::NotRunning;
        },
        kWait));
    const std::string said = command.readAllStandardError().toStdString();
    EXPECT_EQ(command.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(command.exitCode(), 0) << said;
    const QByteArray shown = command.readAllStandardOutput();
    EXPECT_TRUE(shown.contains("line A: ready (1), SIM 1, signal -61,")) << shown.toStdString() << said;
    EXPECT_TRUE(heldMeanwhile);

    EXPECT_TRUE(waitUntil(
        [&] {
            const QByteArray metrics = exporter.metrics();
            return metrics.contains("vestra7_adapter_held_by_other_program{adapter=\"V7-A\"} 0\n") &&
                   metrics.contains("vestra7_line_rssi{adapter=\"V7-A\",line=\"A\"} -61\n");
        },
        kWait));
}

} // namespace vestra7
