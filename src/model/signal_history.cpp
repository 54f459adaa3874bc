// SPDX-License-Identifier: GPL-3.0-or-later
// The sliding window of signal samples and its CSV.
#include "model/signal_history.h"

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

QByteArray SignalHistory::toCsv() const
{
    QByteArray csv("time,line A,line B\r\n");
    csv.reserve(csv.size() + static_cast<qsizetype>(m_samples.size()) * 36);
    for (const Sample &sample : m_samples) {
        csv += QDateTime::fromMSecsSinceEpoch(sample.time, Qt::UTC).toString(Qt::ISODateWithMs).toLatin1();
        for (const std::int8_t level : sample.level) {
            csv += ',';
            csv += QByteArray::number(level);
        }
        csv += "\r\n";
    }
    return csv;
}

} // namespace vestra7
