// SPDX-License-Identifier: GPL-3.0-or-later
// Two processes on one adapter behind a virtual hidraw node: the window holds it, and a command
// started beside it is refused, naming the window's process, while the window's writes go on; a
// program of another user holds it, and a command is refused naming that program.
#include "lock_holder_process.h"
#include "program_fixture.h"

#include "link/adapter_lock.h"
#include "support/gui_wait.h"
#include "support/sanitizers.h"

#include <QProcess>
#include <QTemporaryDir>

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

TEST(AdapterLockOfAnotherUser, ACommandIsRefusedWithExitFiveNamingTheOtherUsersProgram)
{
    if (!VirtualHidraw::isAvailable())
        GTEST_SKIP() << "runs under umockdev-wrapper";
    if (kUnderThreadSanitizer)
        GTEST_SKIP() << "ThreadSanitizer cannot start a child from a process that runs threads";
    // Not skipped: without root there is no second user, and nothing here would be shown.
    ASSERT_EQ(::geteuid(), 0u) << "runs as root, to run a program as a second user";
    VirtualHidraw hidraw;
    hidraw.plug(std::make_shared<EmulatedAdapter>(EmulatedIdentity::withSerialNumber(QStringLiteral("V7-A"))));

    // The holder, copied where the second user may run it.
    QTemporaryDir programs;
    ASSERT_TRUE(QFile::setPermissions(programs.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                           QFile::ReadOther | QFile::ExeOther));
    const QString helper = programs.filePath(QStringLiteral("adapter_lock_holder"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VESTRA7_LOCK_HOLDER), helper));
    LockHolderProcess holder(helper,
                             {QStringLiteral("setpriv"), QStringLiteral("--reuid"), QStringLiteral("1000"),
                              QStringLiteral("--regid"), QStringLiteral("1000"), QStringLiteral("--clear-groups")});
    ASSERT_EQ(holder.start(AdapterLock::systemScope(), QStringLiteral("V7-A"), "until-done"), "held");

    QProcess command;
    command.setProcessEnvironment(hidraw.childEnvironment());
    command.start(QStringLiteral(VESTRA7_PROGRAM),
                  {QStringLiteral("status"), QStringLiteral("--serial"), QStringLiteral("V7-A")});
    ASSERT_TRUE(waitUntil([&] { return command.state() == QProcess::NotRunning; }, std::chrono::seconds(20)));
    const QString said = QString::fromUtf8(command.readAllStandardError());
    EXPECT_EQ(command.exitCode(), 5) << said.toStdString();
    EXPECT_TRUE(
        said.contains(QStringLiteral("adapter in use by process %1 (adapter_lock_holder ").arg(holder.processId())))
        << said.toStdString();
    EXPECT_EQ(holder.finish(), 0);
}

} // namespace vestra7
