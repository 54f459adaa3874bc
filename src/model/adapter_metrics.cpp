// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the adapters' metrics in the text exposition format.
#include "model/adapter_metrics.h"

#include "model/line_health.h"

#include <functional>

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

// A line's series: labels beside the adapter's and the line's, and its value.
struct LineSeries
{
    Labels extraLabels;
    QByteArray value;
};

// A series per line of a connected adapter.
MetricsWriter::Samples perLine(const char *name, AnsiCodec &codec,
                               std::function<LineSeries(const LineHealth &)> valueOf)
{
    return [name, &codec, valueOf = std::move(valueOf)](const AdapterSample &adapter, QByteArray &series) {
        if (!adapter.connected || !adapter.record)
            return;
        for (int line = 0; line < kLineCount; ++line) {
            LineSeries one = valueOf(lineHealth(*adapter.record, line, codec));
            Labels all{{"adapter", adapter.key}, {"line", QString::fromLatin1(lineName(line))}};
            all.insert(all.end(), one.extraLabels.begin(), one.extraLabels.end());
            add(series, name, labels(all), one.value);
        }
    };
}

} // namespace

QByteArray renderMetrics(const std::vector<AdapterSample> &adapters, AnsiCodec &codec)
{
    MetricsWriter writer(adapters);
    const auto flag = [](bool value) {
        return value ? QByteArray("1") : QByteArray("0");
    };
    const auto keyOnly = [](const AdapterSample &adapter) {
        return labels({{"adapter", adapter.key}});
    };

    writer.metric("vestra7_adapter_present", "gauge", "Whether the adapter is plugged in (1) or not (0).",
                  [&](const AdapterSample &adapter, QByteArray &series) {
                      add(series, "vestra7_adapter_present", keyOnly(adapter), flag(adapter.present));
                  });
    writer.metric("vestra7_adapter_connected", "gauge",
                  "Whether the exporter has the adapter open and running its firmware (1) or not (0).",
                  [&](const AdapterSample &adapter, QByteArray &series) {
                      add(series, "vestra7_adapter_connected", keyOnly(adapter), flag(adapter.connected));
                  });
    writer.metric("vestra7_adapter_held_by_other_program", "gauge",
                  "Whether another program holds the adapter for now (1) or not (0).",
                  [&](const AdapterSample &adapter, QByteArray &series) {
                      add(series, "vestra7_adapter_held_by_other_program", keyOnly(adapter),
                          flag(adapter.heldByOtherProgram));
                  });
    writer.metric("vestra7_adapter_info", "gauge", "The adapter's product, serial number and firmware version.",
                  [&](const AdapterSample &adapter, QByteArray &series) {
                      if (adapter.product.isEmpty() && adapter.version.isEmpty())
                          return; // never seen yet
                      add(series, "vestra7_adapter_info",
                          labels({{"adapter", adapter.key},
                                  {"product", adapter.product},
                                  {"serial", adapter.serial},
                                  {"firmware_version", adapter.version}}),
                          "1");
                  });
    writer.metric("vestra7_record_age_seconds", "gauge", "Seconds since the adapter last sent its record.",
                  [&](const AdapterSample &adapter, QByteArray &series) {
                      if (adapter.record)
                          add(series, "vestra7_record_age_seconds", keyOnly(adapter),
                              QByteArray::number(adapter.recordAgeSeconds, 'f', 3));
                  });
    writer.metric("vestra7_line_state", "gauge",
                  "The line's state as the adapter reports it: 0-1 can call, 3 and above in a call.",
                  perLine("vestra7_line_state", codec, [](const LineHealth &reading) {
                      return LineSeries{{}, QByteArray::number(reading.state)};
                  }));
    writer.metric("vestra7_line_sim_pres", "gauge", "The line's SIM presence, the adapter's raw value.",
                  perLine("vestra7_line_sim_pres", codec, [](const LineHealth &reading) {
                      return LineSeries{{}, QByteArray::number(reading.simPresence)};
                  }));
    writer.metric("vestra7_line_rssi", "gauge", "The line's signal level, the adapter's raw signed value.",
                  perLine("vestra7_line_rssi", codec, [](const LineHealth &reading) {
                      return LineSeries{{}, QByteArray::number(reading.signalLevel)};
                  }));
    writer.metric("vestra7_line_ops_info", "gauge",
                  "The operator the line is registered with, as the adapter names it.",
                  perLine("vestra7_line_ops_info", codec, [](const LineHealth &reading) {
                      return LineSeries{{{"ops", reading.operatorName}}, QByteArray("1")};
                  }));
    writer.metric("vestra7_polls_total", "counter", "Polls sent to the adapter since the exporter started.",
                  [&](const AdapterSample &adapter, QByteArray &series) {
                      add(series, "vestra7_polls_total", keyOnly(adapter), QByteArray::number(adapter.polls));
                  });
    writer.metric("vestra7_lost_replies_total", "counter",
                  "Polls and writes the adapter did not answer before the next poll was due.",
                  [&](const AdapterSample &adapter, QByteArray &series) {
                      add(series, "vestra7_lost_replies_total", keyOnly(adapter),
                          QByteArray::number(adapter.lostReplies));
                  });
    writer.metric("vestra7_failed_writes_total", "counter", "Messages to the adapter the system failed to write.",
                  [&](const AdapterSample &adapter, QByteArray &series) {
                      add(series, "vestra7_failed_writes_total", keyOnly(adapter),
                          QByteArray::number(adapter.failedWrites));
                  });
    return writer.text();
}
