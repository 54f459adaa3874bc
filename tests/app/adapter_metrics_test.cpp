// SPDX-License-Identifier: GPL-3.0-or-later
// The exporter's and the adapters' metrics in the text exposition format: grouping, labels, raw
// values, what a gone adapter leaves out, and what is there with no adapter at all.
#include "app/adapter_metrics.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>
#include <prometheus/text_serializer.h>

#include <algorithm>
#include <cstring>

namespace vestra7 {

namespace {

DeviceRecord recordWith(std::int8_t rssiA, std::int8_t rssiB, const char *operatorA)
{
    DeviceRecord record{};
    record.rssi[0] = rssiA;
    record.rssi[1] = rssiB;
    record.sim_pres[0] = 1;
    record.sim_pres[1] = 0;
    record.stat[0] = 3;
    record.stat[1] = 1;
    std::memcpy(record.ops[0], operatorA, std::strlen(operatorA));
    return record;
}

AdapterSample connectedSample(const QString &key, const DeviceRecord &record)
{
    AdapterSample sample;
    sample.key = key;
    sample.product = QStringLiteral("VESTRA7");
    sample.serial = key;
    sample.version = QStringLiteral("1.2");
    sample.present = true;
    sample.connected = true;
    sample.record = record;
    sample.recordAgeSeconds = 0.25;
    sample.polls = 40;
    sample.lostReplies = 2;
    sample.failedWrites = 1;
    return sample;
}

QByteArray renderMetrics(std::vector<AdapterSample> adapters, AnsiCodec &codec)
{
    const int present = static_cast<int>(
        std::count_if(adapters.begin(), adapters.end(), [](const AdapterSample &adapter) { return adapter.present; }));
    return QByteArray::fromStdString(
        prometheus::TextSerializer().Serialize(exporterMetrics({present, std::move(adapters)}, codec)));
}

QStringList linesOf(const QByteArray &text)
{
    return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

TEST(AdapterMetrics, EachMetricHasOneHeaderAndASeriesPerAdapterAndLineWithRawSignedValues)
{
    AnsiCodec codec("windows-1252");
    const QStringList lines =
        linesOf(renderMetrics({connectedSample(QStringLiteral("V7-A"), recordWith(-63, 12, "Nordline")),
                               connectedSample(QStringLiteral("V7-B"), recordWith(-128, 127, ""))},
                              codec));

    for (const auto &[name, type] :
         {std::pair{"vestra7_line_rssi", "gauge"}, std::pair{"vestra7_polls_total", "counter"},
          std::pair{"vestra7_adapter_info", "gauge"}}) {
        EXPECT_EQ(lines.count(QStringLiteral("# TYPE %1 %2").arg(QLatin1String(name), QLatin1String(type))), 1) << name;
        EXPECT_EQ(lines.filter(QStringLiteral("# HELP %1 ").arg(QLatin1String(name))).size(), 1) << name;
    }
    // A metric's series follow its header without another metric's in between.
    const qsizetype header = lines.indexOf(QStringLiteral("# TYPE vestra7_line_rssi gauge"));
    ASSERT_GE(header, 0);
    EXPECT_EQ(lines.mid(header + 1, 4), (QStringList{
                                            QStringLiteral("vestra7_line_rssi{adapter=\"V7-A\",line=\"A\"} -63"),
                                            QStringLiteral("vestra7_line_rssi{adapter=\"V7-A\",line=\"B\"} 12"),
                                            QStringLiteral("vestra7_line_rssi{adapter=\"V7-B\",line=\"A\"} -128"),
                                            QStringLiteral("vestra7_line_rssi{adapter=\"V7-B\",line=\"B\"} 127"),
                                        }));
    for (const char *expected : {
             "vestra7_line_sim_presence{adapter=\"V7-A\",line=\"B\"} 0",
             "vestra7_line_state{adapter=\"V7-A\",line=\"A\"} 3",
             "vestra7_line_operator_info{adapter=\"V7-A\",line=\"A\",operator=\"Nordline\"} 1",
             "vestra7_line_operator_info{adapter=\"V7-B\",line=\"B\",operator=\"\"} 1",
             "vestra7_adapter_info{adapter=\"V7-B\",product=\"VESTRA7\",serial=\"V7-B\",firmware_version=\"1.2\"} 1",
             "vestra7_record_age_seconds{adapter=\"V7-A\"} 0.25",
             "vestra7_lost_replies_total{adapter=\"V7-B\"} 2",
             "vestra7_failed_writes_total{adapter=\"V7-A\"} 1",
             "vestra7_adapters_present 2",
         })
        EXPECT_TRUE(lines.contains(QLatin1String(expected))) << expected;
}

TEST(AdapterMetrics, LabelValuesEscapeQuoteBackslashAndLineFeedAndOperatorsAreReadInTheCodePage)
{
    AnsiCodec codec("windows-1251");
    AdapterSample sample = connectedSample(QStringLiteral("V7-\"q\"\\n\nx"), recordWith(-70, -70, "\xcc\xd2\xd1"));
    const QByteArray text = renderMetrics({sample}, codec);
    EXPECT_TRUE(text.contains("vestra7_adapter_present{adapter=\"V7-\\\"q\\\"\\\\n\\nx\"} 1\n")) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("operator=\"МТС\"} 1\n").toUtf8())) << text.toStdString();
    // Every series stays on one line.
    for (const QString &line : linesOf(text))
        EXPECT_TRUE(line.startsWith(QLatin1String("vestra7_")) || line.startsWith(QLatin1Char('#')))
            << line.toStdString();
}

TEST(AdapterMetrics, AGoneAdapterKeepsItsPresenceAndAgeButLeavesNoLineValues)
{
    AnsiCodec codec("windows-1252");
    AdapterSample gone = connectedSample(QStringLiteral("V7-A"), recordWith(-63, -60, "Nordline"));
    gone.present = false;
    gone.connected = false;
    gone.recordAgeSeconds = 42;
    AdapterSample neverSeen;
    neverSeen.key = QStringLiteral("V7-Z");
    const QByteArray text = renderMetrics({gone, neverSeen}, codec);

    EXPECT_TRUE(text.contains("vestra7_adapter_present{adapter=\"V7-A\"} 0\n"));
    EXPECT_TRUE(text.contains("vestra7_adapter_connected{adapter=\"V7-A\"} 0\n"));
    EXPECT_TRUE(text.contains("vestra7_record_age_seconds{adapter=\"V7-A\"} 42\n"));
    EXPECT_TRUE(text.contains("vestra7_adapter_present{adapter=\"V7-Z\"} 0\n"));
    EXPECT_FALSE(text.contains("vestra7_line_")) << text.toStdString();
    EXPECT_FALSE(text.contains("vestra7_adapter_info{adapter=\"V7-Z\"")) << text.toStdString();
    EXPECT_FALSE(text.contains("vestra7_record_age_seconds{adapter=\"V7-Z\"")) << text.toStdString();
}

TEST(AdapterMetrics, WithNoAdapterTheVersionAndANoughtCountAreThereAndNothingElse)
{
    AnsiCodec codec("windows-1252");
    const QStringList lines = linesOf(renderMetrics({}, codec));
    const QStringList series = lines.filter(QRegularExpression(QStringLiteral("^[^#]")));
    ASSERT_EQ(series.size(), 2) << lines.join('\n').toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^vestra7_build_info\\{version=\"\\d+\\.\\d+\\.\\d+\"\\} 1$"))
                    .match(series[0])
                    .hasMatch())
        << series[0].toStdString();
    EXPECT_EQ(series[1], QStringLiteral("vestra7_adapters_present 0"));
    EXPECT_TRUE(lines.contains(QStringLiteral("# TYPE vestra7_adapters_present gauge")));
    // A metric without a series has no header either.
    EXPECT_TRUE(lines.filter(QStringLiteral("vestra7_adapter_present")).isEmpty()) << lines.join('\n').toStdString();
}

} // namespace vestra7
