// SPDX-License-Identifier: GPL-3.0-or-later
// The sliding window of signal samples, its runs and its CSV.
#include "model/signal_history.h"

#include "model/csv_format.h"

#include <QDateTime>

namespace vestra7 {

SignalHistory::SignalHistory(std::chrono::milliseconds span)
    : m_span(span)
{
}

void SignalHistory::append(const Sample &sample)
{
    if (!m_samples.empty() && sample.time < m_samples.back().time)
        m_samples.clear();
    m_samples.push_back(sample);
    const qint64 oldest = sample.time - m_span.count();
    while (m_samples.front().time < oldest || m_samples.size() > kMaxSamples)
        m_samples.pop_front();
}

QByteArray SignalHistory::toCsv(const QString &adapter) const
{
    // The adapter's name comes from the device: a text cell, like every name the program writes.
    const QByteArray adapterCell = csvTextCell(adapter).toUtf8();
    QByteArray csv("time,line A,line B,adapter\r\n");
    csv.reserve(csv.size() + static_cast<qsizetype>(m_samples.size()) * (37 + adapterCell.size()));
    for (const Sample &sample : m_samples) {
        csv += QDateTime::fromMSecsSinceEpoch(sample.time, Qt::UTC).toString(Qt::ISODateWithMs).toLatin1();
        for (const std::int8_t level : sample.level) {
            csv += ',';
            csv += QByteArray::number(level);
        }
        csv += ',';
        csv += adapterCell;
        csv += "\r\n";
    }
    return csv;
}

std::vector<SignalRun> signalRuns(const std::deque<SignalHistory::Sample> &samples,
                                  std::chrono::milliseconds longestGap)
{
    std::vector<SignalRun> runs;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const bool startsRun =
            i == 0 || samples[i].afterPause || samples[i].time - samples[i - 1].time > longestGap.count();
        if (startsRun)
            runs.push_back({i, i});
        runs.back().end = i + 1;
    }
    return runs;
}

} // namespace vestra7
