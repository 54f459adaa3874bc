// SPDX-License-Identifier: GPL-3.0-or-later
// The real monitoring engine: Debian's prometheus scrapes `vestra7 exporter`, which watches two
// emulated adapters on virtual hidraw nodes; its query API shows their signal levels, a change of
// one, and an adapter unplugged as gone. Loopback only.
#include "exporter_process.h"
#include "sim/emulated_adapter.h"
#include "support/adapter_builders.h"
#include "support/gui_wait.h"
#include "support/virtual_hidraw.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

// The whole test stays within the minute its ctest entry allows.
constexpr auto kWait = 15s;

// A port free on the loopback address right now.
quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

class PrometheusScrape : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!VirtualHidraw::isAvailable())
            GTEST_SKIP() << "runs under umockdev-wrapper";
        const QString engine = QStandardPaths::findExecutable(QStringLiteral("prometheus"));
        if (engine.isEmpty()) {
            // In CI a missing engine is a failure, not a reason to skip.
            ASSERT_NE(qgetenv("CI"), "true") << "prometheus is not installed (package prometheus)";
            GTEST_SKIP() << "prometheus is not installed (package prometheus)";
        }
        hidraw = std::make_unique<VirtualHidraw>();
        hidraw->plug(first);
        hidraw->plug(second);
        ASSERT_TRUE(exporter.start(hidraw->rootDir(), {QStringLiteral("--all")}, kWait));

        // The engine with its own configuration and storage, scraping every second.
        ASSERT_TRUE(folder.isValid());
        QFile config(folder.filePath(QStringLiteral("prometheus.yml")));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("global:\n"
                                    "  scrape_interval: 1s\n"
                                    "  evaluation_interval: 1s\n"
                                    "scrape_configs:\n"
                                    "  - job_name: vestra7\n"
                                    "    static_configs:\n"
                                    "      - targets: ['127.0.0.1:%1']\n")
                         .arg(exporter.port())
                         .toUtf8());
        config.close();
        enginePort = freePort();
        ASSERT_NE(enginePort, 0);
        // The engine has no use for the virtual devices.
        QProcessEnvironment plain = QProcessEnvironment::systemEnvironment();
        plain.remove(QStringLiteral("LD_PRELOAD"));
        plain.remove(QStringLiteral("UMOCKDEV_DIR"));
        prometheus.setProcessEnvironment(plain);
        prometheus.setProcessChannelMode(QProcess::MergedChannels);
        prometheus.start(engine, {QStringLiteral("--config.file=%1").arg(config.fileName()),
                                  QStringLiteral("--storage.tsdb.path=%1").arg(folder.filePath(QStringLiteral("data"))),
                                  QStringLiteral("--web.listen-address=127.0.0.1:%1").arg(enginePort)});
        ASSERT_TRUE(prometheus.waitForStarted());
    }

    void TearDown() override
    {
        if (prometheus.state() != QProcess::NotRunning) {
            prometheus.terminate();
            if (!prometheus.waitForFinished(5000))
                prometheus.kill();
            prometheus.waitForFinished();
        }
    }

    // The values of an instant query, by the label `by`.
    std::map<QString, QString> query(const QString &promql, const char *by)
    {
        QUrl url(QStringLiteral("http://127.0.0.1:%1/api/v1/query").arg(enginePort));
        url.setQuery(QUrlQuery{{QStringLiteral("query"), promql}});
        const QJsonObject answer = QJsonDocument::fromJson(httpGet(url)).object();
        std::map<QString, QString> values;
        for (const QJsonValue &series :
             answer.value(QStringLiteral("data")).toObject().value(QStringLiteral("result")).toArray())
            values[series[QStringLiteral("metric")][QLatin1String(by)].toString()] =
                series[QStringLiteral("value")][1].toString();
        return values;
    }

    // Asks the engine again until the query gives what is expected.
    bool engineShows(const QString &promql, const char *by, const std::map<QString, QString> &expected,
                     std::map<QString, QString> &last)
    {
        return waitUntil(
            [&] {
                last = query(promql, by);
                return last == expected;
            },
            kWait);
    }

    std::unique_ptr<VirtualHidraw> hidraw;
    std::shared_ptr<EmulatedAdapter> first = adapterWithSignal("V7-A", -61);
    std::shared_ptr<EmulatedAdapter> second = adapterWithSignal("V7-B", -85);
    ExporterProcess exporter;
    QProcess prometheus;
    QTemporaryDir folder;
    quint16 enginePort = 0;
};

} // namespace

TEST_F(PrometheusScrape, TheEngineSeesTheSignalLevelsTheirChangeAndAnAdapterGone)
{
    std::map<QString, QString> seen;
    const QString signalA = QStringLiteral("vestra7_line_rssi{line=\"A\"}");
    ASSERT_TRUE(engineShows(signalA, "adapter", {{"V7-A", "-61"}, {"V7-B", "-85"}}, seen))
        << "last seen: " << seen.size() << " series; engine output: " << prometheus.readAll().toStdString();

    // What the exporter serves passes the engine's own check of the format and its naming rules.
    const QByteArray scraped = exporter.metrics();
    QProcess check;
    check.start(QStringLiteral("promtool"), {QStringLiteral("check"), QStringLiteral("metrics")});
    ASSERT_TRUE(check.waitForStarted());
    check.write(scraped);
    check.closeWriteChannel();
    ASSERT_TRUE(check.waitForFinished(10000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString()
                                   << check.readAllStandardError().toStdString();

    DeviceRecord weaker = first->state().record;
    weaker.rssi[0] = -97;
    first->setRecord(weaker);
    EXPECT_TRUE(engineShows(signalA, "adapter", {{"V7-A", "-97"}, {"V7-B", "-85"}}, seen))
        << "V7-A: " << seen["V7-A"].toStdString();

    hidraw->unplug(*first);
    EXPECT_TRUE(engineShows(QStringLiteral("vestra7_adapter_present"), "adapter", {{"V7-A", "0"}, {"V7-B", "1"}}, seen))
        << "V7-A: " << seen["V7-A"].toStdString();
    // Its line values are gone with it, not left at their last reading.
    EXPECT_TRUE(engineShows(signalA, "adapter", {{"V7-B", "-85"}}, seen)) << seen.size() << " series";

    // Stopping the service is an orderly end, not a failure for systemd to report.
    exporter.process().terminate();
    ASSERT_TRUE(exporter.process().waitForFinished(5000));
    EXPECT_EQ(exporter.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(exporter.process().exitCode(), 0);
}

} // namespace vestra7
