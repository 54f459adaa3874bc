// SPDX-License-Identifier: GPL-3.0-or-later
// The exporter's HTTP side: serves the metrics last published, from threads of its own, within limits
// that a hostile client cannot push it past.
#pragma once

#include "model/result.h"

#include <QString>

#include <prometheus/metric_family.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct mg_connection;
struct mg_context;

namespace vestra7 {

class MetricsServer final
{
public:
    struct Limits
    {
        int workers = 64; // connections served at once, each by a thread of its own
        int queued = 64;  // connections accepted and waiting for a worker, and one more that the
                          // accepting thread holds until there is room; the rest wait unaccepted
        // To send a whole request line and its headers after a worker took the connection, or be
        // closed: a connection that idles or sends slowly costs a worker no longer than this.
        std::chrono::milliseconds requestTimeout{2000};
        int maxRequestBytes = 8192; // request line and headers; no request here has a body
    };

    // The limits with the connections kept within the process's limit of open files: a server that
    // runs out of them spins on the connections it cannot accept.
    static Limits limitsWithin(std::uint64_t openFileLimit);

    // Listens at "ADDRESS:PORT" (port 0: any free one); the server, or why it could not listen.
    static Result<std::unique_ptr<MetricsServer>> start(const QString &address, const Limits &limits);
    ~MetricsServer();

    MetricsServer(const MetricsServer &) = delete;
    MetricsServer &operator=(const MetricsServer &) = delete;

    quint16 port() const { return m_port; }

    // Hands the server what a scrape gets from now on; called on the thread that owns the adapters,
    // so a scrape never touches them.
    void publish(const std::vector<prometheus::MetricFamily> &families);
    // What a scrape gets now.
    std::string metricsText() const;

private:
    MetricsServer();
    static int onRequest(mg_connection *connection);

    mg_context *m_context = nullptr;
    quint16 m_port = 0;
    const std::string m_indexPage;
    mutable std::mutex m_mutex; // guards the text between publish() and the server's threads
    std::string m_text;
};

} // namespace vestra7
