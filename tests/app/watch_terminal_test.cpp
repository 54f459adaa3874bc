// SPDX-License-Identifier: GPL-3.0-or-later
// `status --watch` of the real program (the demo, over its emulated adapter) in a terminal of 80
// columns, asked to end by a signal, and with a reader that goes.
#include "tiny_terminal.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kPatience = 60s; // the demo's start and a few of its two-second drifts, on a busy machine
const QString kKey = QStringLiteral("V7-2041-000117");

// The demo running `status --watch` with its standard output on a terminal or a pipe, its standard
// error on a pipe of its own.
class Watch
{
public:
    Watch(bool onTerminal, const std::vector<const char *> &options, int columns = 80)
    {
        int errors[2];
        EXPECT_EQ(::pipe2(errors, O_CLOEXEC), 0);
        int output[2] = {-1, -1};
        if (onTerminal) {
            const winsize size{24, static_cast<unsigned short>(columns), 0, 0};
            EXPECT_EQ(::openpty(&output[0], &output[1], nullptr, nullptr, &size), 0);
        } else {
            EXPECT_EQ(::pipe2(output, O_CLOEXEC), 0);
        }
        std::vector<const char *> argv{VESTRA7_DEMO, "status", "--watch"};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back(nullptr);
        // Made before the fork: the child only calls what is safe between fork and exec.
        const QByteArray home = "HOME=" + m_home.path().toLocal8Bit();
        std::vector<const char *> environment{home.constData(), "QT_QPA_PLATFORM=offscreen"};
        for (char **variable = environ; *variable; ++variable)
            if (std::strncmp(*variable, "HOME=", 5) != 0 && std::strncmp(*variable, "QT_QPA_PLATFORM=", 16) != 0)
                environment.push_back(*variable);
        environment.push_back(nullptr);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(output[1], STDOUT_FILENO);
            ::dup2(errors[1], STDERR_FILENO);
            ::execve(argv[0], const_cast<char *const *>(argv.data()), const_cast<char *const *>(environment.data()));
            ::_exit(127);
        }
        ::close(output[1]);
        ::close(errors[1]);
        m_output = output[0];
        m_errors = errors[0];
    }

    ~Watch()
    {
        if (m_pid > 0 && m_status < 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        closeOutput();
        ::close(m_errors);
    }

    // Reads standard output until `enough` holds for what came; false when it did not in time.
    bool readUntil(const std::function<bool(const QByteArray &)> &enough)
    {
        const auto deadline = Clock::now() + kPatience;
        while (!enough(m_read)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd wanted{m_output, POLLIN, 0};
            if (left <= 0ms || ::poll(&wanted, 1, static_cast<int>(left.count())) <= 0)
                return false;
            char buffer[4096];
            const ssize_t count = ::read(m_output, buffer, sizeof buffer);
            if (count <= 0)
                return false;
            m_read.append(buffer, count);
        }
        return true;
    }

    // The exit code once the program has ended; -1 when it did not end in time or by a signal.
    int exitCode()
    {
        const auto deadline = Clock::now() + kPatience;
        int status = 0;
        while (::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline)
                return -1;
            ::poll(nullptr, 0, 20); // nothing to wait on but the child's end
        }
        m_status = status;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    QByteArray errors()
    {
        QByteArray all;
        char buffer[4096];
        for (ssize_t count = 0; (count = ::read(m_errors, buffer, sizeof buffer)) > 0;)
            all.append(buffer, count);
        return all;
    }

    void signal(int number) { ::kill(m_pid, number); }
    void resize(int columns)
    {
        const winsize size{24, static_cast<unsigned short>(columns), 0, 0};
        ::ioctl(m_output, TIOCSWINSZ, &size);
        signal(SIGWINCH);
    }
    void closeOutput()
    {
        if (m_output >= 0)
            ::close(m_output);
        m_output = -1;
    }
    const QByteArray &read() const { return m_read; }

private:
    QTemporaryDir m_home;
    pid_t m_pid = -1;
    int m_output = -1;
    int m_errors = -1;
    int m_status = -1;
    QByteArray m_read;
};

// The drawings the program has made so far on a terminal: each ends what it clears with "\e[J".
int drawings(const QByteArray &output)
{
    return static_cast<int>(output.count("\x1b[J"));
}

TEST(WatchInATerminal, ChangesAndAResizeAreRedrawnInPlaceWithinTheWidthWithoutCopies)
{
    Watch watch(true, {"--interval", "1"});
    TinyTerminal terminal(80, 24);
    ASSERT_TRUE(watch.readUntil([](const QByteArray &out) { return drawings(out) >= 4; }))
        << watch.read().toStdString();
    terminal.feed(watch.read());
    EXPECT_EQ(terminal.rowsHolding(kKey), 1) << terminal.rows().join('\n').toStdString();
    EXPECT_EQ(terminal.rowsHolding(QStringLiteral("A: ")), 1) << terminal.rows().join('\n').toStdString();
    EXPECT_EQ(terminal.rowsHolding(QStringLiteral("B: ")), 1) << terminal.rows().join('\n').toStdString();

    const int before = drawings(watch.read());
    watch.resize(40);
    terminal.resize(40);
    const qsizetype fed = watch.read().size();
    ASSERT_TRUE(watch.readUntil([&](const QByteArray &out) { return drawings(out) >= before + 2; }));
    terminal.feed(watch.read().mid(fed));
    const QStringList rows = terminal.rows();
    EXPECT_EQ(terminal.rowsHolding(kKey.left(10)), 1) << rows.join('\n').toStdString();
    EXPECT_EQ(terminal.rowsHolding(QStringLiteral("B: ")), 1) << rows.join('\n').toStdString();
    for (const QString &row : rows)
        EXPECT_LT(row.size(), 40) << row.toStdString();

    watch.signal(SIGINT);
    EXPECT_EQ(watch.exitCode(), 0);
    EXPECT_EQ(watch.errors(), QByteArray());
}

class WatchEndsOnASignal : public testing::TestWithParam<int>
{
};

TEST_P(WatchEndsOnASignal, WithExitZeroAndNothingOnStandardError)
{
    Watch watch(true, {});
    ASSERT_TRUE(watch.readUntil([](const QByteArray &out) { return out.contains(kKey.toLatin1()); }));
    watch.signal(GetParam());
    EXPECT_EQ(watch.exitCode(), 0);
    EXPECT_EQ(watch.errors(), QByteArray());
}

INSTANTIATE_TEST_SUITE_P(Signals, WatchEndsOnASignal, testing::Values(SIGINT, SIGTERM, SIGHUP));

class WatchWhoseReaderGoes : public testing::TestWithParam<std::vector<const char *>>
{
};

TEST_P(WatchWhoseReaderGoes, EndsAtOnceThoughNothingChangedWithExitZeroAndNothingOnStandardError)
{
    // An hour between looks: nothing more is written, so only the reader's going can end it.
    std::vector<const char *> options{"--interval", "3600"};
    options.insert(options.end(), GetParam().begin(), GetParam().end());
    Watch watch(false, options);
    ASSERT_TRUE(watch.readUntil([](const QByteArray &out) { return out.contains('\n'); }));
    watch.closeOutput(); // as `head -1` does once it has its line
    EXPECT_EQ(watch.exitCode(), 0);
    EXPECT_EQ(watch.errors(), QByteArray());
}

INSTANTIATE_TEST_SUITE_P(Formats, WatchWhoseReaderGoes,
                         testing::Values(std::vector<const char *>{}, std::vector<const char *>{"--json"}));

} // namespace

} // namespace vestra7
