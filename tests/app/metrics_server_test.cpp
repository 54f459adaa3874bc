// SPDX-License-Identifier: GPL-3.0-or-later
// The exporter's HTTP side against clients on the loopback: what each request gets, and what a
// hostile client can no longer do: send a body, hold connections open, or crowd out a scrape.
#include "app/metrics_request.h"
#include "app/metrics_server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>

#include <chrono>
#include <fstream>
#include <string>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// A blocking TCP connection to the server, closed with it.
class Client
{
public:
    explicit Client(quint16 port)
        : m_fd(socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    }
    ~Client() { close(m_fd); }
    Client(const Client &) = delete;
    Client &operator=(const Client &) = delete;

    bool connected() const { return m_connected; }

    // Sends all of `bytes`; false once the server has closed or reset the connection.
    bool send(const std::string &bytes)
    {
        for (std::size_t sent = 0; sent < bytes.size();) {
            const ssize_t n = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    // What the server sends until it closes the connection; `closed` says whether it did within `limit`.
    struct Answer
    {
        std::string bytes;
        bool closed = false;
    };
    Answer readUntilClosed(std::chrono::milliseconds limit)
    {
        Answer answer;
        const SteadyClock::time_point end = SteadyClock::now() + limit;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - SteadyClock::now());
            pollfd readable{m_fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0)
                return answer;
            char buffer[4096];
            const ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                answer.closed = true;
                return answer;
            }
            answer.bytes.append(buffer, static_cast<std::size_t>(n));
        }
    }

private:
    int m_fd;
    bool m_connected = false;
};

// The peak resident memory of this process, in KiB.
long peakMemoryKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

int openFiles()
{
    return static_cast<int>(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
}

prometheus::MetricFamily oneGauge(const char *name, double value)
{
    prometheus::ClientMetric series;
    series.gauge.value = value;
    return {name, "A gauge for the test.", prometheus::MetricType::Gauge, {series}};
}

class MetricsServerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Result<std::unique_ptr<MetricsServer>> started = MetricsServer::start(QStringLiteral("127.0.0.1:0"), limits);
        ASSERT_TRUE(started) << started.error().message.toStdString();
        server = std::move(*started);
        server->publish({oneGauge("test_gauge", 7)});
    }

    std::string request(const std::string &text, std::chrono::milliseconds limit = 10s)
    {
        Client client(server->port());
        EXPECT_TRUE(client.connected() && client.send(text));
        return client.readUntilClosed(limit).bytes;
    }

    // Small, so that the tests see every limit at work within a few seconds.
    MetricsServer::Limits limits{2, 2, 300ms, 4096};
    std::unique_ptr<MetricsServer> server;
};

} // namespace

TEST(MetricsRequests, EachRequestIsAnsweredByItsHeadersAndABodyIsNeverTaken)
{
    struct Case
    {
        MetricsRequest request;
        MetricsAnswer answer;
    };
    for (const Case &c : {
             Case{{"GET", "/metrics", -1, false}, MetricsAnswer::Metrics},
             Case{{"HEAD", "/metrics", 0, false}, MetricsAnswer::Metrics},
             Case{{"GET", "/", -1, false}, MetricsAnswer::IndexPage},
             Case{{"GET", "/metrics/", -1, false}, MetricsAnswer::NotFound},
             Case{{"GET", "/index.html", -1, false}, MetricsAnswer::NotFound},
             Case{{"GET", "/metrics", 1, false}, MetricsAnswer::BodyRefused},
             Case{{"GET", "/", -1, true}, MetricsAnswer::BodyRefused},
             Case{{"POST", "/metrics", 1200000000, false}, MetricsAnswer::BodyRefused},
             Case{{"PUT", "/nowhere", -1, true}, MetricsAnswer::BodyRefused},
             Case{{"POST", "/metrics", 0, false}, MetricsAnswer::MethodNotAllowed},
             Case{{"DELETE", "/", -1, false}, MetricsAnswer::MethodNotAllowed},
             Case{{"get", "/metrics", -1, false}, MetricsAnswer::MethodNotAllowed},
         })
        EXPECT_EQ(answerFor(c.request), c.answer) << c.request.method << ' ' << c.request.path << ' '
                                                  << c.request.contentLength << ' ' << c.request.transferEncoding;
}

TEST(MetricsServerLimits, TheConnectionsHeldStayWithinTheOpenFileLimit)
{
    struct Case
    {
        std::uint64_t openFiles;
        int each; // workers, and as many queued
    };
    for (const Case &c :
         {Case{524288, 64}, Case{1024, 64}, Case{256, 64}, Case{192, 32}, Case{160, 16}, Case{131, 1}, Case{20, 1}}) {
        const MetricsServer::Limits limits = MetricsServer::limitsWithin(c.openFiles);
        EXPECT_EQ(limits.workers, c.each) << c.openFiles;
        EXPECT_EQ(limits.queued, c.each) << c.openFiles;
    }
}

TEST_F(MetricsServerTest, ServesWhatWasPublishedAndAPageThatLinksIt)
{
    const std::string metrics = request("GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_EQ(metrics.rfind("HTTP/1.1 200", 0), 0u) << metrics;
    EXPECT_NE(metrics.find("Content-Type: text/plain; version=0.0.4; charset=utf-8\r\n"), std::string::npos) << metrics;
    EXPECT_NE(metrics.find("\r\n\r\n# HELP test_gauge A gauge for the test.\n# TYPE test_gauge gauge\ntest_gauge 7\n"),
              std::string::npos)
        << metrics;

    server->publish({oneGauge("test_gauge", 8)});
    EXPECT_NE(request("GET /metrics HTTP/1.0\r\n\r\n").find("\ntest_gauge 8\n"), std::string::npos);

    const std::string head = request("HEAD /metrics HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_EQ(head.rfind("HTTP/1.1 200", 0), 0u) << head;
    EXPECT_EQ(head.find("test_gauge"), std::string::npos) << head;

    const std::string page = request("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_EQ(page.rfind("HTTP/1.1 200", 0), 0u) << page;
    EXPECT_NE(page.find("Content-Type: text/html"), std::string::npos) << page;
    EXPECT_NE(page.find("<a href=\"/metrics\">"), std::string::npos) << page;

    const std::string elsewhere = request("GET /metric HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_EQ(elsewhere.rfind("HTTP/1.1 404", 0), 0u) << elsewhere;
}

TEST_F(MetricsServerTest, ARequestWithABodyIsRefusedWhateverItsPathAndMethod)
{
    for (const char *refused : {
             "POST /metrics HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello",
             "GET /metrics HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello",
             "PUT /elsewhere HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n",
             "DELETE / HTTP/1.1\r\nHost: x\r\n\r\n",
         }) {
        const std::string answer = request(refused);
        EXPECT_TRUE(answer.rfind("HTTP/1.1 413", 0) == 0 || answer.rfind("HTTP/1.1 405", 0) == 0)
            << refused << "\n---\n"
            << answer;
        EXPECT_EQ(answer.find("test_gauge"), std::string::npos) << refused;
    }
}

TEST_F(MetricsServerTest, AHugeBodyIsNeitherReadNorKept)
{
    const long before = peakMemoryKiB();
    Client client(server->port());
    ASSERT_TRUE(client.send("POST /metrics HTTP/1.1\r\nHost: x\r\nContent-Length: 1200000000\r\n\r\n"));
    // Were the body read, all of it would go through at the loopback's speed; refused, the sends fail
    // once the socket buffers between the two ends are full.
    const std::string chunk(1 << 20, 'x');
    std::size_t sent = 0;
    while (sent < 256u << 20 && client.send(chunk))
        sent += chunk.size();
    EXPECT_LT(sent, 32u << 20) << "the server read the body";
    EXPECT_LT(peakMemoryKiB() - before, 16 * 1024) << "KiB";
    EXPECT_NE(request("GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n").find("\ntest_gauge 7\n"), std::string::npos);
}

TEST_F(MetricsServerTest, IdleHalfSentAndOversizedRequestsAreClosedWithoutAnAnswer)
{
    struct Case
    {
        const char *what;
        std::string sent;
    };
    for (const Case &c : {
             Case{"idle", ""},
             Case{"half a request line", "GET /metr"},
             Case{"headers without their end", "GET /metrics HTTP/1.1\r\nHost: x\r\n"},
             Case{"headers over the size", "GET /metrics HTTP/1.1\r\nX-Fill: " + std::string(8192, 'a') + "\r\n\r\n"},
         }) {
        Client client(server->port());
        ASSERT_TRUE(client.connected());
        client.send(c.sent);
        // Well past the time-out, so that a server that never closes fails rather than hangs.
        const Client::Answer answer = client.readUntilClosed(limits.requestTimeout * 20);
        EXPECT_TRUE(answer.closed) << c.what;
        EXPECT_EQ(answer.bytes.find("test_gauge"), std::string::npos) << c.what << ": " << answer.bytes;
    }
}

TEST_F(MetricsServerTest, IdleConnectionsOverTheCapNeitherTakeFilesNorStopAScrape)
{
    const int filesBefore = openFiles();
    constexpr int kIdle = 12; // three times the connections the server holds
    std::vector<std::unique_ptr<Client>> idle;
    for (int i = 0; i < kIdle; ++i) {
        idle.push_back(std::make_unique<Client>(server->port()));
        ASSERT_TRUE(idle.back()->connected());
    }
    // The test's own ends, and on the server's side at most the workers', the queue's and the one
    // that the accepting thread holds while it waits for room in the queue.
    EXPECT_LE(openFiles() - filesBefore, kIdle + limits.workers + limits.queued + 1);

    // The idle ones go in turns of one time-out each; the scrape's turn comes.
    const std::string scrape = request("GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n", limits.requestTimeout * 40);
    EXPECT_NE(scrape.find("\ntest_gauge 7\n"), std::string::npos) << scrape;
    for (const std::unique_ptr<Client> &client : idle)
        EXPECT_TRUE(client->readUntilClosed(limits.requestTimeout * 40).closed);
}

TEST(MetricsServer, AnAddressInUseOrUnknownIsAnErrorThatNamesIt)
{
    Result<std::unique_ptr<MetricsServer>> first = MetricsServer::start(QStringLiteral("127.0.0.1:0"), {});
    ASSERT_TRUE(first);
    const QString taken = QStringLiteral("127.0.0.1:%1").arg((*first)->port());
    const Result<std::unique_ptr<MetricsServer>> second = MetricsServer::start(taken, {});
    ASSERT_FALSE(second);
    EXPECT_TRUE(second.error().message.contains(taken)) << second.error().message.toStdString();

    // Where the server has no IPv6, it says so rather than that the port could not be set up.
    const Result<std::unique_ptr<MetricsServer>> ipv6 = MetricsServer::start(QStringLiteral("[::1]:0"), {});
    if (!ipv6) {
        EXPECT_TRUE(ipv6.error().message.contains(QLatin1String("IPv6"))) << ipv6.error().message.toStdString();
    }
}

} // namespace vestra7
