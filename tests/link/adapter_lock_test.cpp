// SPDX-License-Identifier: GPL-3.0-or-later
// Adapter keys, and the lock files that keep a second program off an adapter in use.
#include "link/adapter_key.h"
#include "link/adapter_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct KeyCase
{
    const char *name;
    std::vector<AdapterAddress> adapters;
    std::vector<QString> keys;
};

class AdapterKeys : public testing::TestWithParam<KeyCase>
{
};

TEST_P(AdapterKeys, EveryAdapterGetsAKeyOfItsOwn)
{
    EXPECT_EQ(adapterKeys(GetParam().adapters), GetParam().keys);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AdapterKeys,
    testing::Values(
        KeyCase{"OwnSerials", {{"V7-1", "1-1"}, {"V7-2", "1-2"}}, {"V7-1", "V7-2"}},
        KeyCase{"SharedSerial", {{"DUP", "1-1"}, {"V7-2", "1-2"}, {"DUP", "1-3.4"}}, {"DUP@1-1", "V7-2", "DUP@1-3.4"}},
        KeyCase{"NoSerials", {{"", "1-1"}, {"", "1-2"}}, {"@1-1", "@1-2"}},
        KeyCase{"OneWithoutSerial", {{"", "2-1"}}, {"@2-1"}},
        // A serial number that looks like another adapter's key does not take that key from it.
        KeyCase{"SerialLikeAKey", {{"a@1-2", "1-5"}, {"a", "1-2"}, {"a", "1-3"}}, {"a@1-2@1-5", "a@1-2@1-2", "a@1-3"}},
        KeyCase{"NoPortsNamed", {{"DUP", ""}, {"DUP", ""}}, {"DUP@@#1", "DUP@@#2"}}),
    [](const testing::TestParamInfo<KeyCase> &test) { return test.param.name; });

class AdapterLockTest : public testing::Test
{
protected:
    QTemporaryDir folder;
};

} // namespace

// flock() locks belong to an open file, so two locks in one process contend as two processes do.
TEST_F(AdapterLockTest, ASecondHolderIsRefusedWithTheFirstsProcessAndProgram)
{
    AdapterLock first(folder.path());
    AdapterLock second(folder.path());
    ASSERT_EQ(first.take(QStringLiteral("V7-1")), std::nullopt);
    EXPECT_EQ(first.key(), QStringLiteral("V7-1"));

    const std::optional<AdapterLockHolder> holder = second.take(QStringLiteral("V7-1"));
    ASSERT_TRUE(holder.has_value());
    EXPECT_EQ(holder->processId, ::getpid());
    EXPECT_TRUE(holder->program.startsWith(QStringLiteral("link_tests"))) << holder->program.toStdString();
    EXPECT_EQ(adapterInUseText(*holder),
              QStringLiteral("adapter in use by process %1 (%2)").arg(::getpid()).arg(holder->program));
    EXPECT_TRUE(second.key().isEmpty());

    // Another adapter is free; taking it lets go of the first, which the other may then have.
    ASSERT_EQ(first.take(QStringLiteral("V7-2")), std::nullopt);
    EXPECT_EQ(second.take(QStringLiteral("V7-1")), std::nullopt);
    EXPECT_TRUE(second.take(QStringLiteral("V7-2")).has_value()) << "refused, the lock held so far is kept";
    EXPECT_EQ(second.key(), QStringLiteral("V7-1"));

    first.release();
    EXPECT_EQ(second.take(QStringLiteral("V7-2")), std::nullopt);
}

TEST_F(AdapterLockTest, TheFileIsWritableByEveryoneWhateverTheUmask)
{
    AdapterLock lock(folder.path());
    const mode_t before = ::umask(077);
    const std::optional<AdapterLockHolder> refused = lock.take(QStringLiteral("a/b\n"));
    ::umask(before);
    ASSERT_EQ(refused, std::nullopt);
    const QString file = AdapterLock::fileFor(folder.path(), QStringLiteral("a/b\n"));
    EXPECT_EQ(QFileInfo(file).dir().path(), folder.path()) << "a slash in a key makes no folder";
    struct stat status
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0666u);
    EXPECT_LE(QFileInfo(AdapterLock::fileFor(folder.path(), QString(300, QLatin1Char('x')))).fileName().size(), 255);
}

TEST_F(AdapterLockTest, ALinkOrAFifoInPlaceOfTheFileIsNeverFollowedNorWaitedOn)
{
    QFile target(folder.filePath(QStringLiteral("target")));
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write("precious");
    target.close();
    ASSERT_TRUE(QFile::link(target.fileName(), AdapterLock::fileFor(folder.path(), QStringLiteral("LINKED"))));
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(AdapterLock::fileFor(folder.path(), QStringLiteral("FIFO"))).constData(), 0666), 0);

    AdapterLock lock(folder.path());
    for (const char *key : {"LINKED", "FIFO"}) {
        const std::optional<AdapterLockHolder> refused = lock.take(QString::fromLatin1(key));
        ASSERT_TRUE(refused.has_value()) << key;
        EXPECT_FALSE(refused->failure.isEmpty());
        EXPECT_TRUE(adapterInUseText(*refused).startsWith(QStringLiteral("cannot lock the adapter: ")));
    }
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), "precious");
}
