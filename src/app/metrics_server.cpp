// SPDX-License-Identifier: GPL-3.0-or-later
// Serving the metrics over HTTP.
#include "app/metrics_server.h"

#include "app/metrics_request.h"

#include <QCoreApplication>

#include <civetweb.h>
#include <prometheus/text_serializer.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace vestra7 {

namespace {

constexpr char kMetricsContentType[] = "text/plain; version=0.0.4; charset=utf-8";
// What the exporter needs of open files besides its connections: the adapters' devices and locks,
// the device monitor, the threads' wake-ups.
constexpr std::uint64_t kFilesBesideConnections = 128;

std::string indexPage()
{
    const QString title = QCoreApplication::translate("Exporter", "vestra7 exporter").toHtmlEscaped();
    const QString metrics = QCoreApplication::translate("Exporter", "Metrics").toHtmlEscaped();
    return QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title></head>\n"
                          "<body><h1>%1</h1><p><a href=\"/metrics\">%2</a></p></body></html>\n")
        .arg(title, metrics)
        .toStdString();
}

MetricsRequest requestOf(const mg_request_info &info, mg_connection *connection)
{
    const char *path = info.local_uri ? info.local_uri : "";
    return {info.request_method, path, info.content_length, mg_get_header(connection, "Transfer-Encoding") != nullptr};
}

void answer(mg_connection *connection, const char *mimeType, const std::string &body)
{
    mg_send_http_ok(connection, mimeType, static_cast<long long>(body.size()));
    if (std::strcmp(mg_get_request_info(connection)->request_method, "HEAD") != 0)
        mg_write(connection, body.data(), body.size());
}

// What civetweb would log are the clients' faults (time-outs, oversized requests), not the exporter's.
int dropLogMessage(const mg_connection *, const char *)
{
    return 1;
}

} // namespace

MetricsServer::MetricsServer()
    : m_indexPage(indexPage())
{
    mg_init_library(0); // counted: each server's start and end pair up
}

MetricsServer::~MetricsServer()
{
    if (m_context)
        mg_stop(m_context); // waits for the threads that may be reading the text
    mg_exit_library();
}

MetricsServer::Limits MetricsServer::limitsWithin(std::uint64_t openFileLimit)
{
    Limits limits;
    const std::uint64_t spare =
        openFileLimit > kFilesBesideConnections + 2 ? openFileLimit - kFilesBesideConnections : 2;
    const int each = static_cast<int>(std::min<std::uint64_t>(spare / 2, static_cast<std::uint64_t>(limits.workers)));
    limits.workers = each;
    limits.queued = each;
    return limits;
}

Result<std::unique_ptr<MetricsServer>> MetricsServer::start(const QString &address, const Limits &limits)
{
    // Debian 12's civetweb is built without it, and would only say it failed to set up the port.
    constexpr unsigned kIpv6Feature = 8;
    if (address.startsWith(QLatin1Char('[')) && mg_check_feature(kIpv6Feature) == 0)
        return Error{QCoreApplication::translate("Exporter",
                                                 "Cannot listen on %1: the HTTP server of this system has no IPv6; "
                                                 "give an IPv4 address or a host name that has one.")
                         .arg(address)};
    const std::string values[] = {address.toStdString(), std::to_string(limits.workers), std::to_string(limits.queued),
                                  std::to_string(limits.requestTimeout.count()),
                                  std::to_string(limits.maxRequestBytes)};
    // Every request gets its answer and the connection is closed: a kept-alive one would hold a
    // worker while it idles.
    const char *options[] = {"listening_ports",
                             values[0].c_str(),
                             "num_threads",
                             values[1].c_str(),
                             "connection_queue",
                             values[2].c_str(),
                             "request_timeout_ms",
                             values[3].c_str(),
                             "max_request_size",
                             values[4].c_str(),
                             "enable_keep_alive",
                             "no",
                             nullptr};
    mg_callbacks callbacks{};
    callbacks.begin_request = &MetricsServer::onRequest;
    callbacks.log_message = &dropLogMessage;
    std::unique_ptr<MetricsServer> server(new MetricsServer());
    char failure[256] = {};
    mg_error_data error{nullptr, failure, sizeof failure};
    mg_init_data init{&callbacks, server.get(), options};
    server->m_context = mg_start2(&init, &error);
    if (!server->m_context)
        return Error{QCoreApplication::translate("Exporter", "Cannot listen on %1: %2")
                         .arg(address, QString::fromLocal8Bit(failure))};
    mg_server_port port{};
    if (mg_get_server_ports(server->m_context, 1, &port) == 1)
        server->m_port = static_cast<quint16>(port.port);
    return server;
}

void MetricsServer::publish(const std::vector<prometheus::MetricFamily> &families)
{
    std::string text = prometheus::TextSerializer().Serialize(families);
    const std::lock_guard lock(m_mutex);
    m_text.swap(text);
}

std::string MetricsServer::metricsText() const
{
    const std::lock_guard lock(m_mutex);
    return m_text;
}

int MetricsServer::onRequest(mg_connection *connection)
{
    const mg_request_info &info = *mg_get_request_info(connection);
    const auto &server = *static_cast<const MetricsServer *>(info.user_data);
    // An error answer closes the connection at once, so that civetweb reads nothing more of it.
    switch (answerFor(requestOf(info, connection))) {
    case MetricsAnswer::BodyRefused:
        mg_send_http_error(connection, 413, "%s", "No request here carries a body.\n");
        return 413;
    case MetricsAnswer::MethodNotAllowed:
        mg_send_http_error(connection, 405, "%s", "Only GET and HEAD are served.\n");
        return 405;
    case MetricsAnswer::NotFound:
        mg_send_http_error(connection, 404, "%s", "Metrics are at /metrics.\n");
        return 404;
    case MetricsAnswer::IndexPage:
        answer(connection, "text/html; charset=utf-8", server.m_indexPage);
        return 200;
    case MetricsAnswer::Metrics:
        answer(connection, kMetricsContentType, server.metricsText());
        return 200;
    }
    return 0;
}

} // namespace vestra7
