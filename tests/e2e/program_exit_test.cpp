// SPDX-License-Identifier: GPL-3.0-or-later
// Ending the program for real: it runs as a child process on the same virtual hidraw nodes and is
// closed while it polls and while it sends a firmware image, the window and the update command alike.
#include "model/firmware_image.h"
#include "sim/demo_adapter.h"
#include "sim/emulated_adapter.h"
#include "support/sanitizers.h"
#include "support/virtual_hidraw.h"

#include "link/commands.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <signal.h>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

// A program that hangs on its way out would hold the suite up; one that ends is far quicker.
constexpr int kExitBoundMs = 10000;

int pollsIn(const AdapterState &state)
{
    return static_cast<int>(std::count_if(state.received.begin(), state.received.end(),
                                          [](const ReceivedMessage &m) { return m.cmd == CMD_POLL; }));
}

// The adapter on a virtual hidraw node for the program run as a child process, which reaches it as
// it would reach hardware.
class AdapterForChild : public testing::Test
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
    }

    std::unique_ptr<VirtualHidraw> hidraw;
    std::shared_ptr<EmulatedAdapter> adapter = std::make_shared<EmulatedAdapter>();
};

class ProgramExit : public AdapterForChild
{
protected:
    void SetUp() override
    {
        AdapterForChild::SetUp();
        if (IsSkipped())
            return;
        program.setProgram(QStringLiteral(VESTRA7_E2E_PROGRAM));
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

QString writeUpdateFile(const QTemporaryDir &folder, const std::vector<std::uint8_t> &file)
{
    QFile out(folder.filePath(QStringLiteral("fw.xupd")));
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(reinterpret_cast<const char *>(file.data()), static_cast<qint64>(file.size())) !=
            static_cast<qint64>(file.size()))
        return {};
    return out.fileName();
}

const char *const kLeftInBootLoader =
    "the adapter V7-2041-000117 is left in its boot loader. Running the same update again recovers it.";

// The window, asked to end in the middle of a transfer, says where it left the adapter and ends with
// the signal's code: 128 and its number, as a shell reports it.
class WindowInterrupted : public ProgramExit, public testing::WithParamInterface<int>
{
};

INSTANTIATE_TEST_SUITE_P(ProgramExit, WindowInterrupted, testing::Values(SIGTERM, SIGINT));

TEST_P(WindowInterrupted, MidTransferTheProgramSaysSoAndEndsWithTheSignalsCode)
{
    QTemporaryDir folder;
    const std::vector<std::uint8_t> file = demoUpdateFile(256 * 1024);
    const QString path = writeUpdateFile(folder, file);
    ASSERT_FALSE(path.isEmpty());

    tell("update " + path.toUtf8());
    ASSERT_TRUE(adapter->waitFor([](const AdapterState &s) { return s.image.size() >= 20 * kFirmwareChunkSize; }));
    // The update window is open modally: the user cannot reach the main window, but the session can
    // still ask the program to end.
    ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), GetParam()), 0);
    ASSERT_TRUE(program.waitForFinished(kExitBoundMs)) << "the program did not end";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 128 + GetParam());
    const QString said = QString::fromUtf8(program.readAllStandardError());
    EXPECT_TRUE(said.contains(kLeftInBootLoader)) << said.toStdString();
    EXPECT_LT(adapter->state().image.size(), file.size()) << "it ended in the middle of the transfer";
}

// `vestra7 update`, interrupted in the middle of the transfer, and the same update run again.
class UpdateCommandInterrupted : public AdapterForChild
{
protected:
    void SetUp() override
    {
        AdapterForChild::SetUp();
        if (IsSkipped())
            return;
        path = writeUpdateFile(folder, file);
        ASSERT_FALSE(path.isEmpty());
    }

    void start(QProcess &command)
    {
        // Backups go into the test's folder, not the user's.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.filePath(QStringLiteral("data")));
        command.setProcessEnvironment(environment);
        command.start(QStringLiteral(VESTRA7_PROGRAM), {QStringLiteral("update"), path});
        ASSERT_TRUE(command.waitForStarted());
    }

    QTemporaryDir folder;
    // Newer than the adapter's 1.2, so that the command takes it.
    const std::vector<std::uint8_t> file = demoUpdateFile(256 * 1024);
    QString path;
};

TEST_F(UpdateCommandInterrupted, SaysWhichAdapterIsLeftInItsBootLoaderAndTheSameUpdateStartsOver)
{
    QProcess command;
    start(command);
    ASSERT_TRUE(adapter->waitFor([](const AdapterState &s) { return s.image.size() >= 20 * kFirmwareChunkSize; }));
    ASSERT_EQ(::kill(static_cast<pid_t>(command.processId()), SIGINT), 0);
    ASSERT_TRUE(command.waitForFinished(kExitBoundMs)) << "the command did not end";
    EXPECT_EQ(command.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(command.exitCode(), 130);
    const QString said = QString::fromUtf8(command.readAllStandardError());
    EXPECT_TRUE(said.contains(kLeftInBootLoader)) << said.toStdString();
    // The progress line is ended before the message, which starts a line of its own.
    EXPECT_TRUE(said.contains(QStringLiteral("\nvestra7: V7-2041-000117: Interrupted"))) << said.toStdString();
    const AdapterState left = adapter->state();
    EXPECT_TRUE(left.bootMode);
    EXPECT_LT(left.image.size(), file.size() - 64) << "half an image";

    // Run again, the update takes the adapter in its boot loader as it is (no version to compare, no
    // record to back up) and sends the whole payload from its start, then the end of the update.
    adapter->clearReceived();
    QProcess again;
    start(again);
    ASSERT_TRUE(again.waitForFinished(60000));
    std::vector<std::uint8_t> sent;
    bool ended = false;
    for (const ReceivedMessage &message : adapter->state().received) {
        if (message.cmd == CMD_FW_CHUNK)
            sent.insert(sent.end(), message.payload.begin(), message.payload.end());
        ended = ended || message.cmd == CMD_FW_END;
    }
    std::vector<std::uint8_t> payload(file.begin() + 64, file.end());
    payload.resize((payload.size() + kFirmwareChunkSize - 1) / kFirmwareChunkSize * kFirmwareChunkSize, 0);
    EXPECT_TRUE(sent == payload) << sent.size() << " bytes sent of " << payload.size();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(again.readAllStandardError().contains("version")) << "no version check";
}

} // namespace

} // namespace vestra7
