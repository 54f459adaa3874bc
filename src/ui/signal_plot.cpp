// SPDX-License-Identifier: GPL-3.0-or-later
// The plot drawn from the signal history.
#include "ui/signal_plot.h"

#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <limits>

namespace vestra7 {

namespace {

int floorToTens(int value)
{
    return value >= 0 ? value / 10 * 10 : -((-value + 9) / 10 * 10);
}

int ceilToTens(int value)
{
    return -floorToTens(-value);
}

} // namespace

SignalPlot::SignalPlot(QWidget *parent)
    : QChartView(parent)
{
    // The view comes with a chart of its own, which it keeps; one set in its place would leave this one
    // to the caller.
    QChart *chart = this->chart();
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins({4, 4, 4, 4});
    m_timeAxis = new QDateTimeAxis(chart);
    m_timeAxis->setFormat(QStringLiteral("HH:mm"));
    m_timeAxis->setTickCount(6);
    m_levelAxis = new QValueAxis(chart);
    m_levelAxis->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(m_timeAxis, Qt::AlignBottom);
    chart->addAxis(m_levelAxis, Qt::AlignLeft);
    const std::array<QString, kLineCount> names{tr("Line A"), tr("Line B")};
    for (std::size_t line = 0; line < m_series.size(); ++line) {
        m_series[line] = new QLineSeries(chart);
        m_series[line]->setName(names[line]);
        chart->addSeries(m_series[line]);
        m_series[line]->attachAxis(m_timeAxis);
        m_series[line]->attachAxis(m_levelAxis);
    }
    setRenderHint(QPainter::Antialiasing, false);
}

void SignalPlot::showHistory(const SignalHistory &history)
{
    const auto &samples = history.samples();
    const qint64 step = std::chrono::milliseconds(kStep).count();
    for (std::size_t line = 0; line < m_series.size(); ++line) {
        QList<QPointF> points;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const bool lastOfStep = i + 1 == samples.size() || samples[i + 1].time / step != samples[i].time / step;
            if (lastOfStep)
                points.append(QPointF(static_cast<qreal>(samples[i].time), samples[i].level[line]));
        }
        m_series[line]->replace(points);
    }
    fitAxes(history);
}

void SignalPlot::fitAxes(const SignalHistory &history)
{
    if (history.samples().empty())
        return;
    const qint64 newest = history.samples().back().time;
    m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(newest - history.span().count()),
                         QDateTime::fromMSecsSinceEpoch(newest));
    int low = std::numeric_limits<int>::max();
    int high = std::numeric_limits<int>::min();
    for (const SignalHistory::Sample &sample : history.samples())
        for (const std::int8_t level : sample.level) {
            low = std::min<int>(low, level);
            high = std::max<int>(high, level);
        }
    // A margin of one step, and whole tens, so the axis moves only when a level leaves its range.
    low = floorToTens(low - 1);
    high = ceilToTens(high + 1);
    if (low != m_low || high != m_high) {
        m_low = low;
        m_high = high;
        m_levelAxis->setRange(low, high);
    }
}

} // namespace vestra7
