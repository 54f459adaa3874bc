// SPDX-License-Identifier: GPL-3.0-or-later
// Adapter locks between users: run as root, with a second user (uid 1000) and a third user's
// leftover files in the shared lock folder of old (uid 65534). No user can keep another off an
// adapter with files, nor have root write through a link; one holding the adapter is named to the
// other, and a hand-over request crosses users.
#include "link/adapter_lock.h"
#include "lock_holder_process.h"

#include "support/gui_wait.h"
#include "support/sanitizers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace vestra7 {

namespace {

constexpr uid_t kSecondUser = 1000;
constexpr uid_t kThirdUser = 65534;

// The helper, copied where the second user can run it: the build tree may be out of its reach.
class TwoUsers : public testing::Test
{
protected:
    void SetUp() override
    {
        if (kUnderThreadSanitizer)
            GTEST_SKIP() << "ThreadSanitizer cannot start a child from a process that runs threads";
        // Not skipped: without root there is no second user, and nothing here would be shown.
        ASSERT_EQ(::geteuid(), 0u) << "these tests run as root, to run a program as a second user";
        ASSERT_TRUE(m_programs.isValid());
        ASSERT_TRUE(QFile::setPermissions(m_programs.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                                 QFile::ReadOther | QFile::ExeOther));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VESTRA7_LOCK_HOLDER), helper()));
        ASSERT_TRUE(
            QFile::setPermissions(helper(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    }

    QString helper() const { return m_programs.filePath(QStringLiteral("adapter_lock_holder")); }

    // The helper as the second user, with none of root's groups.
    LockHolderProcess asSecondUser() const
    {
        const QString id = QString::number(kSecondUser);
        return LockHolderProcess(helper(), {QStringLiteral("setpriv"), QStringLiteral("--reuid"), id,
                                            QStringLiteral("--regid"), id, QStringLiteral("--clear-groups")});
    }

    // Keys of this run only, in the system's scope, where the lock files used to be.
    const QString key = QStringLiteral("USERS-%1").arg(::getpid());

private:
    QTemporaryDir m_programs;
};

// A file as a third user left it: its owner, its mode, its bytes.
struct Leftover
{
    QString path;
    mode_t mode;
    QByteArray bytes;
};

void leave(const Leftover &file)
{
    QFile made(file.path);
    ASSERT_TRUE(made.open(QIODevice::WriteOnly)) << file.path.toStdString();
    made.write(file.bytes);
    made.close();
    const QByteArray path = QFile::encodeName(file.path);
    ASSERT_EQ(::chown(path.constData(), kThirdUser, kThirdUser), 0);
    ASSERT_EQ(::chmod(path.constData(), file.mode), 0);
}

// Whether a file is as it was left: nobody wrote to it, truncated or replaced it.
bool unchanged(const Leftover &file)
{
    struct stat status
    {
    };
    if (::lstat(QFile::encodeName(file.path).constData(), &status) != 0)
        return false;
    QFile read(file.path);
    return status.st_uid == kThirdUser && (status.st_mode & 07777) == file.mode && read.open(QIODevice::ReadOnly) &&
           read.readAll() == file.bytes;
}

} // namespace

TEST_F(TwoUsers, AThirdUsersLeftoverFilesKeepNobodyOffAndAreNeverWrittenThrough)
{
    // The folder where the locks and requests used to be, as on a machine where they were.
    const QString folder = QStringLiteral("/run/lock");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chmod("/run/lock", 01777), 0);
    const QString precious = QDir(folder).filePath(QStringLiteral("precious-%1").arg(key));
    const std::vector<Leftover> leftovers{
        {QDir(folder).filePath(QStringLiteral("vestra7-%1.lock").arg(key)), 0600, "pid=1\nprogram=nobody\n"},
        {QDir(folder).filePath(QStringLiteral("vestra7-%1.request").arg(key)), 0644, ""},
        {precious, 0644, "precious"}};
    for (const Leftover &file : leftovers)
        leave(file);
    // A lock file hard-linked to another file, which root would have truncated and overwritten.
    const QString linked = QDir(folder).filePath(QStringLiteral("vestra7-%1-linked.lock").arg(key));
    ASSERT_EQ(::link(QFile::encodeName(precious).constData(), QFile::encodeName(linked).constData()), 0);

    // The second user takes the adapter and hands it back; root takes it, and the linked one, after.
    LockHolderProcess second = asSecondUser();
    ASSERT_EQ(second.start(AdapterLock::systemScope(), key, "until-done"), "held");
    EXPECT_EQ(second.finish(), 0);
    AdapterLock root(AdapterLock::systemScope());
    EXPECT_TRUE(root.take(key));
    EXPECT_TRUE(root.take(key + QStringLiteral("-linked")));
    root.release();

    for (const Leftover &file : leftovers)
        EXPECT_TRUE(unchanged(file)) << file.path.toStdString();
    for (const Leftover &file : leftovers)
        QFile::remove(file.path);
    QFile::remove(linked);
}

TEST_F(TwoUsers, WhoeverHoldsTheAdapterIsNamedToTheOtherUser)
{
    // The second user holds: root is refused, with the second user's process named.
    {
        LockHolderProcess second = asSecondUser();
        ASSERT_EQ(second.start(AdapterLock::systemScope(), key, "until-done"), "held");
        ASSERT_EQ(QFileInfo(QStringLiteral("/proc/%1").arg(second.processId())).ownerId(), kSecondUser);
        AdapterLock root(AdapterLock::systemScope());
        const Result<void, AdapterLockHolder> refused = root.take(key);
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.error().processId, second.processId());
        EXPECT_TRUE(refused.error().program.startsWith(QStringLiteral("adapter_lock_holder ")))
            << refused.error().program.toStdString();
        EXPECT_FALSE(refused.error().handsOver);
        EXPECT_TRUE(refused.error().failure.isEmpty());
        EXPECT_EQ(second.finish(), 0);
        EXPECT_TRUE(root.take(key)) << "the lock went with the second user's process";
    }
    // Root holds: the second user is refused, with root's process named, and ends with 5.
    AdapterLock root(AdapterLock::systemScope());
    ASSERT_TRUE(root.take(key));
    LockHolderProcess second = asSecondUser();
    const QByteArray said = second.start(AdapterLock::systemScope(), key, "until-done");
    EXPECT_TRUE(said.startsWith("refused\t" + QByteArray::number(::getpid()) + "\t0\tadapter in use by process " +
                                QByteArray::number(::getpid()) + " ("))
        << said.toStdString();
    EXPECT_EQ(second.finish(), 5);
}

TEST_F(TwoUsers, AHandOverRequestReachesAHolderOfTheOtherUser)
{
    // A service of the second user is asked by root.
    {
        LockHolderProcess service = asSecondUser();
        ASSERT_EQ(service.start(AdapterLock::systemScope(), key, "until-asked"), "held");
        AdapterLock root(AdapterLock::systemScope());
        const Result<void, AdapterLockHolder> refused = root.take(key);
        ASSERT_FALSE(refused);
        EXPECT_TRUE(refused.error().handsOver);
        EXPECT_TRUE(service.says("asked"));
        EXPECT_EQ(service.finish(), 0);
    }
    // A service of root's is asked by the second user.
    AdapterLock service(AdapterLock::systemScope(), AdapterLock::Hold::UntilAsked);
    ASSERT_TRUE(service.take(key));
    QSignalSpy asked(&service, &AdapterLock::handOverAsked);
    LockHolderProcess second = asSecondUser();
    const QByteArray said = second.start(AdapterLock::systemScope(), key, "until-done");
    EXPECT_TRUE(said.startsWith("refused\t" + QByteArray::number(::getpid()) + "\t1\t")) << said.toStdString();
    EXPECT_EQ(second.finish(), 5);
    EXPECT_TRUE(waitUntil([&] { return asked.count() == 1; }));
}

} // namespace vestra7
