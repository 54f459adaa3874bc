// SPDX-License-Identifier: GPL-3.0-or-later
// `vestra7 exporter` as its service runs it, with no adapter plugged in: every scrape still says the
// version and that no adapter is present, so that an alert can fire for a host whose adapter never
// came, and / links the metrics.
#include "exporter_process.h"
#include "support/virtual_hidraw.h"

#include <gtest/gtest.h>

namespace vestra7 {

TEST(ExporterHttp, WithNoAdapterAScrapeHoldsTheVersionAndANoughtCountAndTheRootPageLinksIt)
{
    if (!VirtualHidraw::isAvailable())
        GTEST_SKIP() << "runs under umockdev-wrapper";
    VirtualHidraw hidraw; // an empty bus: no adapter ever plugged in
    ExporterProcess exporter;
    ASSERT_TRUE(exporter.start(hidraw.rootDir(), {}, std::chrono::seconds(15)));

    const QByteArray metrics = exporter.metrics();
    EXPECT_TRUE(metrics.contains("\nvestra7_adapters_present 0\n")) << metrics.toStdString();
    EXPECT_TRUE(metrics.contains("\nvestra7_build_info{version=\"")) << metrics.toStdString();
    EXPECT_FALSE(metrics.contains("adapter=")) << metrics.toStdString();

    const QByteArray page = httpGet(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(exporter.port())));
    EXPECT_TRUE(page.contains("<a href=\"/metrics\">")) << page.toStdString();
}

} // namespace vestra7
