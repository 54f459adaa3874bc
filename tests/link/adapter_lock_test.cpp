// SPDX-License-Identifier: GPL-3.0-or-later
// Adapter keys, and the lock files that keep a second program off an adapter in use.
#include "link/adapter_key.h"
#include "link/adapter_lock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace vestra7 {

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
    ASSERT_TRUE(first.take(QStringLiteral("V7-1")));
    EXPECT_EQ(first.key(), QStringLiteral("V7-1"));

    const Result<void, AdapterLockHolder> taken = second.take(QStringLiteral("V7-1"));
    ASSERT_FALSE(taken);
    const AdapterLockHolder &holder = taken.error();
    EXPECT_EQ(holder.processId, ::getpid());
    EXPECT_TRUE(holder.program.startsWith(QStringLiteral("link_tests"))) << holder.program.toStdString();
    EXPECT_EQ(adapterInUseText(holder),
              QStringLiteral("adapter in use by process %1 (%2)").arg(::getpid()).arg(holder.program));
    EXPECT_TRUE(second.key().isEmpty());

    // Another adapter is free; taking it lets go of the first, which the other may then have.
    ASSERT_TRUE(first.take(QStringLiteral("V7-2")));
    EXPECT_TRUE(second.take(QStringLiteral("V7-1")));
    EXPECT_FALSE(second.take(QStringLiteral("V7-2"))) << "refused, the lock held so far is kept";
    EXPECT_EQ(second.key(), QStringLiteral("V7-1"));

    first.release();
    EXPECT_TRUE(second.take(QStringLiteral("V7-2")));
}

TEST_F(AdapterLockTest, TheFileIsWritableByEveryoneWhateverTheUmask)
{
    AdapterLock lock(folder.path());
    const mode_t before = ::umask(077);
    const Result<void, AdapterLockHolder> taken = lock.take(QStringLiteral("a/b\n"));
    ::umask(before);
    ASSERT_TRUE(taken);
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
        const Result<void, AdapterLockHolder> refused = lock.take(QString::fromLatin1(key));
        ASSERT_FALSE(refused) << key;
        EXPECT_FALSE(refused.error().failure.isEmpty());
        EXPECT_TRUE(adapterInUseText(refused.error()).startsWith(QStringLiteral("cannot lock the adapter: ")));
    }
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), "precious");
}

namespace {

using Hold = AdapterLock::Hold;

struct AskCase
{
    const char *name;
    Hold holder;
    Hold asker;
    bool asked; // a request is left, and the holder sees it
};

class HandOverAsks : public testing::TestWithParam<AskCase>
{
protected:
    QTemporaryDir folder;
};

TEST_P(HandOverAsks, OnlyAProgramHeldUntilDoneAsksAndOnlyAHolderThatHandsOver)
{
    const AskCase &c = GetParam();
    AdapterLock holder(folder.path(), c.holder);
    AdapterLock asker(folder.path(), c.asker);
    ASSERT_TRUE(holder.take(QStringLiteral("V7-1")));
    const mode_t before = ::umask(077);
    const Result<void, AdapterLockHolder> refused = asker.take(QStringLiteral("V7-1"));
    ::umask(before);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().handsOver, c.holder == Hold::UntilAsked);
    EXPECT_EQ(holder.handOverAsked(QStringLiteral("V7-1")), c.asked);
    EXPECT_FALSE(holder.handOverAsked(QStringLiteral("V7-2")));
    const QString request = AdapterLock::requestFileFor(folder.path(), QStringLiteral("V7-1"));
    ASSERT_EQ(QFileInfo::exists(request), c.asked);
    if (c.asked) {
        // A service and a desktop user renew one another's requests.
        struct stat status
        {
        };
        ASSERT_EQ(::stat(QFile::encodeName(request).constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0666u);
        // Let go, the lock is the asker's at its next try.
        holder.release();
        EXPECT_TRUE(asker.take(QStringLiteral("V7-1")));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HandOverAsks,
                         testing::Values(AskCase{"WindowAsksService", Hold::UntilAsked, Hold::UntilDone, true},
                                         AskCase{"CommandBesideWindow", Hold::UntilDone, Hold::UntilDone, false},
                                         AskCase{"ServiceBesideService", Hold::UntilAsked, Hold::UntilAsked, false},
                                         AskCase{"ServiceBesideWindow", Hold::UntilDone, Hold::UntilAsked, false}),
                         [](const testing::TestParamInfo<AskCase> &test) { return test.param.name; });

// Makes a file, dated this far from now.
void makeFile(const QString &file, std::chrono::seconds fromNow = {})
{
    QFile made(file);
    ASSERT_TRUE(made.open(QIODevice::WriteOnly));
    timespec times[2]{};
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec += fromNow.count();
    times[1] = times[0];
    ASSERT_EQ(::futimens(made.handle(), times), 0);
}

// What lies where the request goes before anyone asks.
enum class Found { Nothing, Fresh, Stale, DatedAhead, LinkToAFreshFile, Fifo, Folder };

struct RequestCase
{
    Found found;
    bool asked;         // what the holder makes of it
    bool askedAfterTry; // and after a try to take the adapter renewed it
};

class HandOverRequests : public testing::TestWithParam<RequestCase>
{
protected:
    QTemporaryDir folder;
};

TEST_P(HandOverRequests, ARequestCountsWhileFreshAndOnlyAsARegularFileOfItsOwn)
{
    const RequestCase &c = GetParam();
    const QString key = QStringLiteral("V7-1");
    const QString request = AdapterLock::requestFileFor(folder.path(), key);
    // A file a link may point to, fresh enough to count were it followed.
    const QString elsewhere = folder.filePath(QStringLiteral("elsewhere"));
    makeFile(elsewhere, -std::chrono::seconds(1));
    const QDateTime elsewhereDated = QFileInfo(elsewhere).lastModified();
    const QByteArray path = QFile::encodeName(request);
    switch (c.found) {
    case Found::Nothing:
        break;
    case Found::Fresh:
        makeFile(request);
        break;
    case Found::Stale:
        makeFile(request, -std::chrono::seconds(3));
        break;
    case Found::DatedAhead: // set so by its owner, it would keep the holder away for good
        makeFile(request, std::chrono::hours(1));
        break;
    case Found::LinkToAFreshFile:
        ASSERT_TRUE(QFile::link(elsewhere, request));
        break;
    case Found::Fifo:
        ASSERT_EQ(::mkfifo(path.constData(), 0666), 0);
        break;
    case Found::Folder:
        ASSERT_TRUE(QDir().mkdir(request));
        break;
    }

    AdapterLock holder(folder.path(), Hold::UntilAsked);
    ASSERT_TRUE(holder.take(key));
    EXPECT_EQ(holder.handOverAsked(key), c.asked);
    AdapterLock asker(folder.path());
    EXPECT_FALSE(asker.take(key));
    EXPECT_EQ(holder.handOverAsked(key), c.askedAfterTry);
    EXPECT_EQ(QFileInfo(elsewhere).lastModified(), elsewhereDated) << "a link is never followed to renew its target";
}

INSTANTIATE_TEST_SUITE_P(Cases, HandOverRequests,
                         testing::Values(RequestCase{Found::Nothing, false, true},
                                         RequestCase{Found::Fresh, true, true}, RequestCase{Found::Stale, false, true},
                                         RequestCase{Found::DatedAhead, false, true},
                                         RequestCase{Found::LinkToAFreshFile, false, false},
                                         RequestCase{Found::Fifo, false, false},
                                         RequestCase{Found::Folder, false, false}));

} // namespace

} // namespace vestra7
