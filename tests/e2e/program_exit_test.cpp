// SPDX-License-Identifier: GPL-3.0-or-later
// Ending the program for real: it runs as a child process on the same virtual hidraw nodes and is
// closed while it polls and while it sends a firmware image.
#include "sim/demo_adapter.h"
#include "sim/emulated_adapter.h"
#include "support/sanitizers.h"
#include "support/virtual_hidraw.h"
#include "model/firmware_image.h"

#include "link/commands.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// A program that hangs on its way out would hold the suite up; one that ends is far quicker.
constexpr int kExitBoundMs = 10000;

int pollsIn(const AdapterState &state)
{
    return static_cast<int>(std::count_if(state.received.begin(), state.received.end(),
                                          [](const ReceivedMessage &m) { return m.cmd == CMD_POLL; }));
}

class ProgramExit : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!VirtualHidraw::isAvailable())
            GTEST_SKIP() << "runs under umockdev-wrapper";
        if (kUnderThreadSanitizer)
            GTEST_SKIP() << "ThreadSanitizer cannot start a child from a process that runs threads";
        hidraw = std::make_unique<VirtualHidraw>();
        adapter->setUsbTiming(true);
        hidraw->plug(adapter);
        program.setProgram(QStringLiteral(VESTRA7_E2E_PROGRAM));
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start();
        ASSERT_TRUE(program.waitForStarted());
        // The program runs in its own process: waiting here holds nothing of it up.
        ASSERT_TRUE(adapter->waitFor([](const AdapterState &s) { return pollsIn(s) >= 2; }))
            << "the program found the adapter and polls it";
    }

    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }

    void tell(const QByteArray &command)
    {
        program.write(command + '\n');
        ASSERT_TRUE(program.waitForBytesWritten());
    }

    void expectCleanExit()
    {
        ASSERT_TRUE(program.waitForFinished(kExitBoundMs)) << "the program did not end";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
    }

    std::unique_ptr<VirtualHidraw> hidraw;
    std::shared_ptr<EmulatedAdapter> adapter = std::make_shared<EmulatedAdapter>();
    QProcess program;
};

TEST_F(ProgramExit, FileCloseWhilePollingEndsTheProgramAtOnce)
{
    tell("close");
    expectCleanExit();
}

TEST_F(ProgramExit, ATerminationRequestWhilePollingEndsTheProgramAtOnce)
{
    program.terminate();
    expectCleanExit();
}

TEST_F(ProgramExit, ATerminationRequestDuringATransferEndsTheProgramAtOnce)
{
    QTemporaryDir folder;
    const std::vector<std::uint8_t> file = demoUpdateFile(256 * 1024);
    QFile out(folder.filePath(QStringLiteral("fw.xupd")));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_EQ(out.write(reinterpret_cast<const char *>(file.data()), static_cast<qint64>(file.size())),
              static_cast<qint64>(file.size()));
    out.close();

    tell("update " + out.fileName().toUtf8());
    ASSERT_TRUE(adapter->waitFor([](const AdapterState &s) { return s.image.size() >= 20 * kFirmwareChunkSize; }));
    // The update window is open modally: the user cannot reach the main window, but the session can
    // still ask the program to end.
    program.terminate();
    expectCleanExit();
    EXPECT_LT(adapter->state().image.size(), file.size()) << "it ended in the middle of the transfer";
}

} // namespace
