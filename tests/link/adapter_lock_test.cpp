// SPDX-License-Identifier: GPL-3.0-or-later
// Adapter keys, and the locks that keep a second program off an adapter in use.
#include "link/adapter_claim_lock.h"
#include "link/adapter_key.h"
#include "link/adapter_lock.h"
#include "lock_holder_process.h"

#include "support/gui_wait.h"
#include "support/sanitizers.h"

#include <QDebug>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <csignal>
#include <cstddef>
#include <cstring>
#include <set>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
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

// Each test has a scope of its own: the tests of one run, and runs side by side, never meet.
QString freshScope()
{
    static int tests = 0;
    return QStringLiteral("lock-test-%1-%2").arg(::getpid()).arg(++tests);
}

// Below it every descriptor is in use: with it as the limit, no file or socket can be made.
int lowestFreeDescriptor()
{
    const int lowest = ::dup(STDIN_FILENO);
    ::close(lowest);
    return lowest;
}

class AdapterLockTest : public testing::Test
{
protected:
    const QString scope = freshScope();
};

} // namespace

// Two locks in one process contend as two processes do.
TEST_F(AdapterLockTest, ASecondHolderIsRefusedWithTheFirstsProcessAndProgram)
{
    AdapterLock first(scope);
    AdapterLock second(scope);
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

// Keys come from the devices: any text, of any length, must make one name of its own that fits.
TEST_F(AdapterLockTest, EveryKeyAndScopeMakesANameOfItsOwnThatFits)
{
    const QString longKey(300, QLatin1Char('x'));
    const QString otherLongKey = QString(299, QLatin1Char('x')) + QLatin1Char('y');
    const std::vector<std::pair<QString, QString>> names{{scope, QStringLiteral("a/b\n")},
                                                         {scope + QStringLiteral("/a"), QStringLiteral("b\n")},
                                                         {scope, QStringLiteral("a")},
                                                         {scope, QStringLiteral("a@1-2")},
                                                         {scope, longKey},
                                                         {scope, otherLongKey},
                                                         {QString(300, QLatin1Char('s')), QStringLiteral("a")}};
    std::set<QByteArray> seen;
    for (const auto &[inScope, key] : names) {
        const QByteArray name = AdapterLock::nameFor(inScope, key);
        EXPECT_LT(name.size(), static_cast<qsizetype>(sizeof(sockaddr_un::sun_path))) << key.toStdString();
        EXPECT_TRUE(name.startsWith("vestra7/"));
        EXPECT_TRUE(seen.insert(name).second) << "shared: " << name.toStdString();
    }
    AdapterLock lock(scope);
    AdapterLock other(scope);
    EXPECT_TRUE(lock.take(longKey));
    EXPECT_TRUE(other.take(otherLongKey));
    EXPECT_FALSE(other.take(longKey));
}

// A lock that cannot be taken for want of a socket is no holder's: it says so, in the system's words.
TEST_F(AdapterLockTest, ALockThatCannotBeTakenSaysWhyAndNamesNoHolder)
{
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
    // Made and used once before the limit is lowered: with no descriptor to spare, a sanitizer's
    // first check of an object's type (it probes memory through a pipe) fails by itself.
    AdapterLock lock(scope);
    ASSERT_TRUE(lock.key().isEmpty());
    rlimit none = before;
    none.rlim_cur = static_cast<rlim_t>(lowestFreeDescriptor());
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    const Result<void, AdapterLockHolder> taken = lock.take(QStringLiteral("V7-1"));
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &before), 0);

    ASSERT_FALSE(taken);
    EXPECT_EQ(taken.error().failure, QString::fromLocal8Bit(std::strerror(EMFILE)));
    EXPECT_EQ(taken.error().processId, 0);
    EXPECT_EQ(adapterInUseText(taken.error()),
              QStringLiteral("cannot lock the adapter: %1").arg(std::strerror(EMFILE)));
    EXPECT_TRUE(lock.key().isEmpty());
    EXPECT_TRUE(lock.take(QStringLiteral("V7-1"))) << "nothing is left behind";
}

// What an Adapter's search makes of a lock it cannot have: a holder to wait for, or a failure,
// which is reported as what it is and never as the adapter being in use.
TEST_F(AdapterLockTest, TheClaimTellsAHolderFromALockThatCannotBeTaken)
{
    AdapterLock holder(scope);
    ASSERT_TRUE(holder.take(QStringLiteral("V7-1")));
    AdapterClaimLock claim;
    claim.setScope(scope);
    QSignalSpy retries(&claim, &AdapterClaimLock::retryDue);
    EXPECT_FALSE(claim.take(QStringLiteral("V7-1")));
    EXPECT_FALSE(claim.failed());
    EXPECT_TRUE(claim.holder().startsWith(QStringLiteral("adapter in use by process %1 (").arg(::getpid())));

    // A sanitizer's first check of an object's type probes memory through a pipe, which fails with
    // no descriptor to spare: the stream the failure is logged through is met once before.
    QString warmUp;
    QDebug(&warmUp) << "warm";
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
    rlimit none = before;
    none.rlim_cur = static_cast<rlim_t>(lowestFreeDescriptor());
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    const bool taken = claim.take(QStringLiteral("V7-2"));
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &before), 0);
    EXPECT_FALSE(taken);
    EXPECT_TRUE(claim.failed());
    EXPECT_EQ(claim.holder(), QStringLiteral("cannot lock the adapter: %1").arg(std::strerror(EMFILE)));
    EXPECT_TRUE(retries.wait()) << "tried again, as for a holder";
    EXPECT_TRUE(claim.take(QStringLiteral("V7-2")));
    EXPECT_FALSE(claim.failed());
    EXPECT_TRUE(claim.holder().isEmpty());
}

// A service letting go closes its device first, which may keep it from answering the next try in
// time; stopped, it answers nothing at all.
TEST_F(AdapterLockTest, AHolderThatSaidItHandsOverIsTakenAtItsWordWhileItCannotSayItAgain)
{
    if (kUnderThreadSanitizer)
        GTEST_SKIP() << "ThreadSanitizer cannot start a child from a process that runs threads";
    LockHolderProcess service(QStringLiteral(VESTRA7_LOCK_HOLDER));
    ASSERT_EQ(service.start(scope, QStringLiteral("V7-1"), "until-asked"), "held");
    AdapterClaimLock claim;
    claim.setScope(scope);
    EXPECT_FALSE(claim.take(QStringLiteral("V7-1")));
    EXPECT_TRUE(claim.holderHandsOver());
    ASSERT_EQ(::kill(static_cast<pid_t>(service.processId()), SIGSTOP), 0);
    EXPECT_FALSE(claim.take(QStringLiteral("V7-1")));
    EXPECT_TRUE(claim.holderHandsOver()) << "silent, but the same holder";

    // Who has not heard it say so takes a silent holder for one that keeps the adapter.
    AdapterClaimLock other;
    other.setScope(scope);
    EXPECT_FALSE(other.take(QStringLiteral("V7-1")));
    EXPECT_FALSE(other.holderHandsOver());
    EXPECT_TRUE(other.holder().startsWith(
        QStringLiteral("adapter in use by process %1 (adapter_lock_holder ").arg(service.processId())));
    ASSERT_EQ(::kill(static_cast<pid_t>(service.processId()), SIGCONT), 0);
    EXPECT_TRUE(service.says("asked"));
    EXPECT_EQ(service.finish(), 0);
}

namespace {

using Hold = AdapterLock::Hold;

struct AskCase
{
    const char *name;
    Hold holder;
    Hold asker;
    bool asked; // the holder hears a request
};

const char *holdWord(Hold hold)
{
    return hold == Hold::UntilAsked ? "until-asked" : "until-done";
}

class HandOverAsks : public testing::TestWithParam<AskCase>
{
protected:
    const QString scope = freshScope();
};

TEST_P(HandOverAsks, OnlyAProgramHeldUntilDoneAsksAndOnlyAHolderThatHandsOver)
{
    const AskCase &c = GetParam();
    AdapterLock holder(scope, c.holder);
    AdapterLock asker(scope, c.asker);
    QSignalSpy asked(&holder, &AdapterLock::handOverAsked);
    ASSERT_TRUE(holder.take(QStringLiteral("V7-1")));
    const Result<void, AdapterLockHolder> refused = asker.take(QStringLiteral("V7-1"));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().handsOver, c.holder == Hold::UntilAsked);
    drainPostedEvents();
    EXPECT_EQ(asked.count(), c.asked ? 1 : 0);
    if (c.asked) {
        // Let go, the lock is the asker's at its next try.
        holder.release();
        EXPECT_TRUE(asker.take(QStringLiteral("V7-1")));
    }
}

// The same between two processes, where the holder answers on the lock's socket.
TEST_P(HandOverAsks, BetweenProcessesTheHolderIsNamedAndAskedTheSameWay)
{
    if (kUnderThreadSanitizer)
        GTEST_SKIP() << "ThreadSanitizer cannot start a child from a process that runs threads";
    const AskCase &c = GetParam();
    LockHolderProcess holder(QStringLiteral(VESTRA7_LOCK_HOLDER));
    ASSERT_EQ(holder.start(scope, QStringLiteral("V7-1"), holdWord(c.holder)), "held");
    AdapterLock asker(scope, c.asker);
    const Result<void, AdapterLockHolder> refused = asker.take(QStringLiteral("V7-1"));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().processId, holder.processId());
    EXPECT_TRUE(refused.error().program.startsWith(QStringLiteral("adapter_lock_holder ") + scope))
        << refused.error().program.toStdString();
    EXPECT_EQ(refused.error().handsOver, c.holder == Hold::UntilAsked);
    if (c.asked) {
        EXPECT_TRUE(holder.says("asked"));
    }
    EXPECT_EQ(holder.finish(), 0) << "it heard nothing else";
    EXPECT_TRUE(asker.take(QStringLiteral("V7-1"))) << "the lock went with its process";

    // And the other way round: this process holds, the helper is refused and names it.
    LockHolderProcess second(QStringLiteral(VESTRA7_LOCK_HOLDER));
    const QByteArray said = second.start(scope, QStringLiteral("V7-1"), "until-done");
    EXPECT_TRUE(said.startsWith("refused\t" + QByteArray::number(::getpid()) + '\t' +
                                (c.asker == Hold::UntilAsked ? "1" : "0") + "\tadapter in use by process "))
        << said.toStdString();
    EXPECT_EQ(second.finish(), 5);
}

INSTANTIATE_TEST_SUITE_P(Cases, HandOverAsks,
                         testing::Values(AskCase{"WindowAsksService", Hold::UntilAsked, Hold::UntilDone, true},
                                         AskCase{"CommandBesideWindow", Hold::UntilDone, Hold::UntilDone, false},
                                         AskCase{"ServiceBesideService", Hold::UntilAsked, Hold::UntilAsked, false},
                                         AskCase{"ServiceBesideWindow", Hold::UntilDone, Hold::UntilAsked, false}),
                         [](const testing::TestParamInfo<AskCase> &test) { return test.param.name; });

// A connection to the lock made by hand, as anyone on the machine may make one.
class RawAsker
{
public:
    explicit RawAsker(const QByteArray &name)
        : m_socket(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + 1, name.constData(), static_cast<std::size_t>(name.size()));
        const auto length =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(name.size()));
        m_connected = ::connect(m_socket, reinterpret_cast<const sockaddr *>(&address), length) == 0;
    }
    ~RawAsker() { ::close(m_socket); }
    RawAsker(const RawAsker &) = delete;
    RawAsker &operator=(const RawAsker &) = delete;

    bool connected() const { return m_connected; }
    // The holder's answer, once its event loop has accepted the connection.
    QByteArray answer()
    {
        char buffer[512];
        ssize_t count = -1;
        waitUntil([&] { return (count = ::recv(m_socket, buffer, sizeof buffer, 0)) >= 0 || errno != EAGAIN; },
                  std::chrono::seconds(5));
        return count > 0 ? QByteArray(buffer, count) : QByteArray();
    }
    void send(const QByteArray &message)
    {
        ::send(m_socket, message.constData(), static_cast<std::size_t>(message.size()), MSG_NOSIGNAL);
    }

private:
    int m_socket;
    bool m_connected = false;
};

struct MessageCase
{
    const char *name;
    QByteArray message; // what the asker sends; empty: it hangs up
    bool asked;
};

class HandOverMessages : public testing::TestWithParam<MessageCase>
{
protected:
    const QString scope = freshScope();
};

TEST_P(HandOverMessages, OnlyARequestAsksAndEveryoneLearnsWhetherTheHolderHandsOver)
{
    const MessageCase &c = GetParam();
    AdapterLock service(scope, Hold::UntilAsked);
    AdapterLock window(scope, Hold::UntilDone);
    ASSERT_TRUE(service.take(QStringLiteral("V7-1")));
    ASSERT_TRUE(window.take(QStringLiteral("V7-2")));
    QSignalSpy asked(&service, &AdapterLock::handOverAsked);
    {
        RawAsker toWindow(AdapterLock::nameFor(scope, QStringLiteral("V7-2")));
        ASSERT_TRUE(toWindow.connected());
        EXPECT_EQ(toWindow.answer(), "handover=no\n");
    }
    {
        RawAsker toService(AdapterLock::nameFor(scope, QStringLiteral("V7-1")));
        ASSERT_TRUE(toService.connected());
        EXPECT_EQ(toService.answer(), "handover=request\n");
        if (!c.message.isEmpty())
            toService.send(c.message);
    }
    // Connections that stay silent beyond what the holder keeps push out only one another.
    std::vector<std::unique_ptr<RawAsker>> silent;
    for (int i = 0; i < 20; ++i) {
        silent.push_back(std::make_unique<RawAsker>(AdapterLock::nameFor(scope, QStringLiteral("V7-1"))));
        EXPECT_EQ(silent.back()->answer(), "handover=request\n");
    }
    drainPostedEvents();
    EXPECT_EQ(asked.count(), c.asked ? 1 : 0);
    // The holder still answers, and a request still reaches it.
    RawAsker late(AdapterLock::nameFor(scope, QStringLiteral("V7-1")));
    EXPECT_EQ(late.answer(), "handover=request\n");
    late.send("request");
    EXPECT_TRUE(waitUntil([&] { return asked.count() == (c.asked ? 2 : 1); }));
}

INSTANTIATE_TEST_SUITE_P(Cases, HandOverMessages,
                         testing::Values(MessageCase{"Request", "request", true},
                                         MessageCase{"RequestLine", "request\n", true},
                                         MessageCase{"SomethingElse", "requests", false},
                                         MessageCase{"Oversized", QByteArray("request") + QByteArray(600, ' '), false},
                                         MessageCase{"HangsUp", {}, false}),
                         [](const testing::TestParamInfo<MessageCase> &test) { return test.param.name; });

} // namespace

} // namespace vestra7
