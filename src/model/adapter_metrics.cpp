// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the adapters' metrics in the text exposition format.
#include "model/adapter_metrics.h"

#include "model/line_health.h"

#include <functional>
#include <optional>
#include <utility>

namespace vestra7 {

namespace {

// Label values escape the backslash, the double quote and the line feed; nothing else.
QByteArray labelValue(const QString &text)
{
    QByteArray escaped;
    for (const char c : text.toUtf8()) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '"')
            escaped += "\\\"";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return escaped;
}

QByteArray labels(const std::vector<std::pair<const char *, QString>> &pairs)
{
    QByteArray text = "{";
    for (const auto &[name, value] : pairs) {
        if (text.size() > 1)
            text += ',';
        text += name;
        text += "=\"";
        text += labelValue(value);
        text += '"';
    }
    return text + '}';
}

QByteArray lineName(int line)
{
    return QByteArray(1, static_cast<char>('A' + line));
}

class MetricsWriter
{
public:
    explicit MetricsWriter(const std::vector<AdapterSample> &adapters)
        : m_adapters(adapters)
    {
    }

    using Samples = std::function<void(const AdapterSample &, QByteArray &series)>;

    // One metric's header, then each adapter's series of it.
    void metric(const char *name, const char *type, const char *help, const Samples &samples)
    {
        QByteArray series;
        for (const AdapterSample &adapter : m_adapters)
            samples(adapter, series);
        if (series.isEmpty())
            return;
        m_text += QByteArray("# HELP ") + name + ' ' + help + '\n';
        m_text += QByteArray("# TYPE ") + name + ' ' + type + '\n';
        m_text += series;
    }

    const QByteArray &text() const { return m_text; }

private:
    const std::vector<AdapterSample> &m_adapters;
    QByteArray m_text;
};

void add(QByteArray &series, const char *name, const QByteArray &labelText, const QByteArray &value)
{
    series += name + labelText + ' ' + value + '\n';
}

using Labels = std::vector<std::pair<const char *, QString>>;

QByteArray flag(bool value)
{
    return value ? QByteArray("1") : QByteArray("0");
}

// An adapter's one series of a metric: its labels and value; none where the adapter has no value.
using AdapterSeries = std::optional<std::pair<QByteArray, QByteArray>>;

AdapterSeries keyed(const AdapterSample &adapter, const QByteArray &value)
{
    return std::pair{labels({{"adapter", adapter.key}}), value};
}

// A metric with one series per adapter.
struct AdapterMetric
{
    const char *name;
    const char *type;
    const char *help;
    AdapterSeries (*series)(const AdapterSample &adapter);
};

// The adapter's state, written before its lines.
const AdapterMetric kStateMetrics[] = {
    {"vestra7_adapter_present", "gauge", "Whether the adapter is plugged in (1) or not (0).",
     [](const AdapterSample &adapter) {
         return keyed(adapter, flag(adapter.present));
     }},
    {"vestra7_adapter_connected", "gauge",
     "Whether the exporter has the adapter open and running its firmware (1) or not (0).",
     [](const AdapterSample &adapter) {
         return keyed(adapter, flag(adapter.connected));
     }},
    {"vestra7_adapter_held_by_other_program", "gauge",
     "Whether another program holds the adapter for now (1) or not (0).",
     [](const AdapterSample &adapter) {
         return keyed(adapter, flag(adapter.heldByOtherProgram));
     }},
    {"vestra7_adapter_info", "gauge", "The adapter's product, serial number and firmware version.",
     [](const AdapterSample &adapter) -> AdapterSeries {
         if (adapter.product.isEmpty() && adapter.version.isEmpty())
             return std::nullopt; // never seen yet
         return std::pair{labels({{"adapter", adapter.key},
                                  {"product", adapter.product},
                                  {"serial", adapter.serial},
                                  {"firmware_version", adapter.version}}),
                          QByteArray("1")};
     }},
    {"vestra7_record_age_seconds", "gauge", "Seconds since the adapter last sent its record.",
     [](const AdapterSample &adapter) -> AdapterSeries {
         if (!adapter.record)
             return std::nullopt;
         return keyed(adapter, QByteArray::number(adapter.recordAgeSeconds, 'f', 3));
     }},
};

// The counters, written after the lines.
const AdapterMetric kCounters[] = {
    {"vestra7_polls_total", "counter", "Polls sent to the adapter since the exporter started.",
     [](const AdapterSample &adapter) {
         return keyed(adapter, QByteArray::number(adapter.polls));
     }},
    {"vestra7_lost_replies_total", "counter",
     "Polls and writes the adapter did not answer before the next poll was due.",
     [](const AdapterSample &adapter) {
         return keyed(adapter, QByteArray::number(adapter.lostReplies));
     }},
    {"vestra7_failed_writes_total", "counter", "Messages to the adapter the system failed to write.",
     [](const AdapterSample &adapter) {
         return keyed(adapter, QByteArray::number(adapter.failedWrites));
     }},
};

MetricsWriter::Samples perAdapter(const AdapterMetric &metric)
{
    return [&metric](const AdapterSample &adapter, QByteArray &series) {
        if (const AdapterSeries one = metric.series(adapter))
            add(series, metric.name, one->first, one->second);
    };
}

// A line's series: labels beside the adapter's and the line's, and its value.
struct LineSeries
{
    Labels extraLabels;
    QByteArray value;
};

// A gauge with one series per line of each connected adapter.
struct LineMetric
{
    const char *name;
    const char *help;
    LineSeries (*series)(const LineHealth &reading);
};

const LineMetric kLineMetrics[] = {
    {"vestra7_line_state", "The line's state as the adapter reports it: 0-1 can call, 3 and above in a call.",
     [](const LineHealth &reading) {
         return LineSeries{{}, QByteArray::number(reading.state)};
     }},
    {"vestra7_line_sim_pres", "The line's SIM presence, the adapter's raw value.",
     [](const LineHealth &reading) {
         return LineSeries{{}, QByteArray::number(reading.simPresence)};
     }},
    {"vestra7_line_rssi", "The line's signal level, the adapter's raw signed value.",
     [](const LineHealth &reading) {
         return LineSeries{{}, QByteArray::number(reading.signalLevel)};
     }},
    {"vestra7_line_ops_info", "The operator the line is registered with, as the adapter names it.",
     [](const LineHealth &reading) {
         return LineSeries{{{"ops", reading.operatorName}}, QByteArray("1")};
     }},
};

MetricsWriter::Samples perLine(const LineMetric &metric, AnsiCodec &codec)
{
    return [&metric, &codec](const AdapterSample &adapter, QByteArray &series) {
        if (!adapter.connected || !adapter.record)
            return;
        for (int line = 0; line < kLineCount; ++line) {
            LineSeries one = metric.series(lineHealth(*adapter.record, line, codec));
            Labels all{{"adapter", adapter.key}, {"line", QString::fromLatin1(lineName(line))}};
            all.insert(all.end(), one.extraLabels.begin(), one.extraLabels.end());
            add(series, metric.name, labels(all), one.value);
        }
    };
}

} // namespace

QByteArray renderMetrics(const std::vector<AdapterSample> &adapters, AnsiCodec &codec)
{
    MetricsWriter writer(adapters);
    for (const AdapterMetric &metric : kStateMetrics)
        writer.metric(metric.name, metric.type, metric.help, perAdapter(metric));
    for (const LineMetric &metric : kLineMetrics)
        writer.metric(metric.name, "gauge", metric.help, perLine(metric, codec));
    for (const AdapterMetric &metric : kCounters)
        writer.metric(metric.name, metric.type, metric.help, perAdapter(metric));
    return writer.text();
}

} // namespace vestra7
