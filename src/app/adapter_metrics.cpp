// SPDX-License-Identifier: GPL-3.0-or-later
// The exporter's and the adapters' metric families.
#include "app/adapter_metrics.h"

#include "model/line_health.h"

#include <functional>
#include <string>
#include <utility>

namespace vestra7 {

namespace {

using prometheus::ClientMetric;
using prometheus::MetricFamily;
using prometheus::MetricType;
using Labels = std::vector<ClientMetric::Label>;

std::string text(const QString &value)
{
    return value.toStdString();
}

ClientMetric series(Labels labels, double value, MetricType type)
{
    ClientMetric metric;
    metric.label = std::move(labels);
    if (type == MetricType::Counter)
        metric.counter.value = value;
    else
        metric.gauge.value = value;
    return metric;
}

// An adapter's one series of a metric: its labels and value; none where the adapter has no value.
using AdapterSeries = std::optional<std::pair<Labels, double>>;

AdapterSeries keyed(const AdapterSample &adapter, double value)
{
    return std::pair{Labels{{"adapter", text(adapter.key)}}, value};
}

double flag(bool value)
{
    return value ? 1 : 0;
}

// A metric with one series per adapter.
struct AdapterMetric
{
    const char *name;
    MetricType type;
    const char *help;
    AdapterSeries (*series)(const AdapterSample &adapter);
};

// The adapter's state, written before its lines.
const AdapterMetric kStateMetrics[] = {
    {"vestra7_adapter_present", MetricType::Gauge, "Whether the adapter is plugged in (1) or not (0).",
     [](const AdapterSample &adapter) {
         return keyed(adapter, flag(adapter.present));
     }},
    {"vestra7_adapter_connected", MetricType::Gauge,
     "Whether the exporter has the adapter open and running its firmware (1) or not (0).",
     [](const AdapterSample &adapter) {
         return keyed(adapter, flag(adapter.connected));
     }},
    {"vestra7_adapter_held_by_other_program", MetricType::Gauge,
     "Whether another program holds the adapter for now (1) or not (0).",
     [](const AdapterSample &adapter) {
         return keyed(adapter, flag(adapter.heldByOtherProgram));
     }},
    {"vestra7_adapter_info", MetricType::Gauge, "The adapter's product, serial number and firmware version.",
     [](const AdapterSample &adapter) -> AdapterSeries {
         if (adapter.product.isEmpty() && adapter.version.isEmpty())
             return std::nullopt; // never seen yet
         return std::pair{Labels{{"adapter", text(adapter.key)},
                                 {"product", text(adapter.product)},
                                 {"serial", text(adapter.serial)},
                                 {"firmware_version", text(adapter.version)}},
                          1.0};
     }},
    {"vestra7_record_age_seconds", MetricType::Gauge, "Seconds since the adapter last sent its record.",
     [](const AdapterSample &adapter) -> AdapterSeries {
         if (!adapter.record)
             return std::nullopt;
         return keyed(adapter, adapter.recordAgeSeconds);
     }},
};

// The counters, written after the lines.
const AdapterMetric kCounters[] = {
    {"vestra7_polls_total", MetricType::Counter, "Polls sent to the adapter since the exporter started.",
     [](const AdapterSample &adapter) {
         return keyed(adapter, static_cast<double>(adapter.polls));
     }},
    {"vestra7_lost_replies_total", MetricType::Counter,
     "Polls and writes the adapter did not answer before the next poll was due.",
     [](const AdapterSample &adapter) {
         return keyed(adapter, static_cast<double>(adapter.lostReplies));
     }},
    {"vestra7_failed_writes_total", MetricType::Counter, "Messages to the adapter the system failed to write.",
     [](const AdapterSample &adapter) {
         return keyed(adapter, static_cast<double>(adapter.failedWrites));
     }},
};

// A line's series: labels beside the adapter's and the line's, and its value.
struct LineSeries
{
    Labels extraLabels;
    double value;
};

// A gauge with one series per line of each connected adapter.
struct LineMetric
{
    const char *name;
    const char *help;
    LineSeries (*series)(const LineHealth &reading);
};

const LineMetric kLineMetrics[] = {
    {"vestra7_line_state",
     "The line's state as the adapter reports it: 0-1 can call, 2 is setting a call up, 3 and above in a call.",
     [](const LineHealth &reading) {
         return LineSeries{{}, static_cast<double>(reading.state)};
     }},
    {"vestra7_line_sim_presence", "The line's SIM presence, the adapter's raw value.",
     [](const LineHealth &reading) {
         return LineSeries{{}, static_cast<double>(reading.simPresence)};
     }},
    {"vestra7_line_rssi", "The line's signal level, the adapter's raw signed value.",
     [](const LineHealth &reading) {
         return LineSeries{{}, static_cast<double>(reading.signalLevel)};
     }},
    {"vestra7_line_operator_info", "The operator the line is registered with, as the adapter names it.",
     [](const LineHealth &reading) {
         return LineSeries{{{"operator", text(reading.operatorName)}}, 1};
     }},
};

// Adds the family unless it has no series.
void addFamily(std::vector<MetricFamily> &families, MetricFamily family)
{
    if (!family.metric.empty())
        families.push_back(std::move(family));
}

MetricFamily perAdapter(const AdapterMetric &metric, const std::vector<AdapterSample> &adapters)
{
    MetricFamily family{metric.name, metric.help, metric.type, {}};
    for (const AdapterSample &adapter : adapters)
        if (AdapterSeries one = metric.series(adapter))
            family.metric.push_back(series(std::move(one->first), one->second, metric.type));
    return family;
}

MetricFamily perLine(const LineMetric &metric, const std::vector<AdapterSample> &adapters, AnsiCodec &codec)
{
    MetricFamily family{metric.name, metric.help, MetricType::Gauge, {}};
    for (const AdapterSample &adapter : adapters) {
        if (!adapter.connected || !adapter.record)
            continue;
        for (int line = 0; line < kLineCount; ++line) {
            LineSeries one = metric.series(lineHealth(*adapter.record, line, codec));
            Labels labels{{"adapter", text(adapter.key)}, {"line", std::string(1, static_cast<char>('A' + line))}};
            labels.insert(labels.end(), one.extraLabels.begin(), one.extraLabels.end());
            family.metric.push_back(series(std::move(labels), one.value, MetricType::Gauge));
        }
    }
    return family;
}

// The exporter's own series, there at every scrape.
void addExporterFamilies(std::vector<MetricFamily> &families, int adaptersPresent)
{
    families.push_back({"vestra7_build_info",
                        "The version of the exporter, as the label version.",
                        MetricType::Gauge,
                        {series({{"version", VESTRA7_VERSION}}, 1, MetricType::Gauge)}});
    families.push_back({"vestra7_adapters_present",
                        "How many adapters are plugged in, watched or not.",
                        MetricType::Gauge,
                        {series({}, adaptersPresent, MetricType::Gauge)}});
}

} // namespace

std::vector<MetricFamily> exporterMetrics(const ExporterSample &sample, AnsiCodec &codec)
{
    std::vector<MetricFamily> families;
    addExporterFamilies(families, sample.adaptersPresent);
    for (const AdapterMetric &metric : kStateMetrics)
        addFamily(families, perAdapter(metric, sample.adapters));
    for (const LineMetric &metric : kLineMetrics)
        addFamily(families, perLine(metric, sample.adapters, codec));
    for (const AdapterMetric &metric : kCounters)
        addFamily(families, perAdapter(metric, sample.adapters));
    return families;
}

} // namespace vestra7
