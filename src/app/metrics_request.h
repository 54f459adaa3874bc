// SPDX-License-Identifier: GPL-3.0-or-later
// What the exporter answers to a request, decided from its request line and headers alone, before a
// byte of any body is read.
#pragma once

#include <string_view>

namespace vestra7 {

enum class MetricsAnswer {
    Metrics,         // the metrics in the text format
    IndexPage,       // a short page that links the metrics
    NotFound,        // 404
    BodyRefused,     // 413, and the connection closed: no request here carries a body
    MethodNotAllowed // 405, and the connection closed
};

struct MetricsRequest
{
    std::string_view method;
    std::string_view path;
    long long contentLength = -1;  // -1: no Content-Length header
    bool transferEncoding = false; // a body of a length the headers do not give
};

// A body is refused before anything else, so that no path and no method makes the server read one.
MetricsAnswer answerFor(const MetricsRequest &request);

} // namespace vestra7
