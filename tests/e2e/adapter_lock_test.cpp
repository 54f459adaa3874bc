// SPDX-License-Identifier: GPL-3.0-or-later
// Two processes on one adapter behind a virtual hidraw node: the window holds it, and a command
// started beside it is refused, naming the window's process, while the window's writes go on.
#include "program_fixture.h"

#include "support/gui_wait.h"
#include "support/sanitizers.h"

#include <QProcess>

#include <cstring>

#include <unistd.h>

namespace vestra7 {

TEST_F(ProgramOnHidraw, ACommandBesideTheWindowIsRefusedWithExitFiveAndTheWindowsWritesGoOn)
{
    if (kUnderThreadSanitizer)
        GTEST_SKIP() << "ThreadSanitizer cannot start a child from a process that runs threads";
    startConnected();
    const QString file = folder.filePath(QStringLiteral("beside.cfg"));

    QProcess command;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.remove(QStringLiteral("LANGUAGE"));
    command.setProcessEnvironment(environment);
    command.start(QStringLiteral(VESTRA7_PROGRAM), {QStringLiteral("backup"), file});
    // The window's event loop runs meanwhile, so it keeps polling the adapter the command waits for.
    ASSERT_TRUE(waitUntil([&] { return command.state() == QProcess::NotRunning; }, std::chrono::seconds(20)));
    const QString said = QString::fromUtf8(command.readAllStandardError());
    EXPECT_EQ(command.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(command.exitCode(), 5) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("adapter in use by process %1 (").arg(::getpid()))) << said.toStdString();
    EXPECT_FALSE(QFile::exists(file));

    // The window's own changes reach the adapter whole, untouched by the other process.
    const std::int8_t gain = static_cast<std::int8_t>(adapter->state().record.mic_gain == 3 ? 4 : 3);
    link().setMicGain(gain);
    link().storeContact(5, {QStringLiteral("Beside"), QStringLiteral("+4915112345")});
    EXPECT_TRUE(waitForAdapter([&](const AdapterState &state) {
        return state.record.mic_gain == gain &&
               std::memcmp(&state.record.contact[5], &link().record().contact[5], sizeof state.record.contact[5]) == 0;
    }));
    EXPECT_TRUE(connectedOnScreen());
}

} // namespace vestra7
