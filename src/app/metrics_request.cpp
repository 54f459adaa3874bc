// SPDX-License-Identifier: GPL-3.0-or-later
// Deciding what a request to the exporter gets.
#include "app/metrics_request.h"

namespace vestra7 {

MetricsAnswer answerFor(const MetricsRequest &request)
{
    if (request.contentLength > 0 || request.transferEncoding)
        return MetricsAnswer::BodyRefused;
    if (request.method != "GET" && request.method != "HEAD")
        return MetricsAnswer::MethodNotAllowed;
    if (request.path == "/metrics")
        return MetricsAnswer::Metrics;
    if (request.path == "/")
        return MetricsAnswer::IndexPage;
    return MetricsAnswer::NotFound;
}

} // namespace vestra7
