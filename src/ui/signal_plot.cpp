// SPDX-License-Identifier: GPL-3.0-or-later
// The plot drawn from the signal history.
#include "ui/signal_plot.h"

#include <QCategoryAxis>
#include <QDateTime>
#include <QEvent>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <limits>

namespace vestra7 {

namespace {

// The last sample of every step of the run: a run's last sample is always drawn.
QList<QPointF> stepPoints(const std::deque<SignalHistory::Sample> &samples, const SignalRun &run, std::size_t line)
{
    const qint64 step = std::chrono::milliseconds(SignalPlot::kStep).count();
    QList<QPointF> points;
    for (std::size_t i = run.begin; i < run.end; ++i) {
        const bool lastOfStep = i + 1 == run.end || samples[i + 1].time / step != samples[i].time / step;
        if (lastOfStep)
            points.append(QPointF(SignalPlot::timeToAxis(samples[i].time), samples[i].level[line]));
    }
    return points;
}

} // namespace

SignalPlot::SignalPlot(QWidget *parent)
    : QChartView(parent)
    , m_utcOffset(QDateTime::currentDateTime().offsetFromUtc())
{
    // The view comes with a chart of its own, which it keeps; one set in its place would leave this one
    // to the caller.
    QChart *chart = this->chart();
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins({4, 4, 4, 4});
    m_timeAxis = new QCategoryAxis(chart);
    m_timeAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_levelAxis = new QValueAxis(chart);
    m_levelAxis->setLabelFormat(QStringLiteral("%d"));
    m_levelAxis->setTickType(QValueAxis::TicksDynamic);
    m_levelAxis->setTickAnchor(0);
    chart->addAxis(m_timeAxis, Qt::AlignBottom);
    chart->addAxis(m_levelAxis, Qt::AlignLeft);
    for (std::size_t line = 0; line < m_series.size(); ++line)
        stretch(line, 0);
    retranslate();
    setRenderHint(QPainter::Antialiasing, false);
}

QLineSeries &SignalPlot::stretch(std::size_t line, std::size_t run)
{
    std::vector<QLineSeries *> &series = m_series[line];
    while (series.size() <= run) {
        auto *added = new QLineSeries(chart());
        chart()->addSeries(added);
        added->attachAxis(m_timeAxis);
        added->attachAxis(m_levelAxis);
        // Every stretch of a line is that line: its colour, and one entry in the legend.
        if (!series.empty()) {
            added->setColor(series.front()->color());
            for (QLegendMarker *marker : chart()->legend()->markers(added))
                marker->setVisible(false);
        }
        series.push_back(added);
    }
    return *series[run];
}

void SignalPlot::showHistory(const SignalHistory &history)
{
    const std::vector<SignalRun> runs = signalRuns(history.samples());
    for (std::size_t line = 0; line < m_series.size(); ++line) {
        for (std::size_t run = 0; run < runs.size(); ++run)
            stretch(line, run).replace(stepPoints(history.samples(), runs[run], line));
        for (std::size_t run = runs.size(); run < m_runsShown; ++run)
            m_series[line][run]->clear();
    }
    m_runsShown = runs.size();
    fitTime(history);
    fitLevels(history);
}

std::vector<QList<QPointF>> SignalPlot::plotted(std::size_t line) const
{
    std::vector<QList<QPointF>> runs;
    for (std::size_t run = 0; run < m_runsShown; ++run)
        runs.push_back(m_series.at(line)[run]->points());
    return runs;
}

void SignalPlot::fitTime(const SignalHistory &history)
{
    if (history.samples().empty())
        return;
    const qint64 newest = history.samples().back().time;
    const qint64 oldest = newest - history.span().count();
    const int offset = QDateTime::fromMSecsSinceEpoch(newest).offsetFromUtc();
    m_timeAxis->setRange(timeToAxis(oldest), timeToAxis(newest));
    if (offset != m_utcOffset) {
        m_utcOffset = offset;
        retranslate();
    }
    std::vector<qint64> ticks = timeTicks(oldest, newest, offset);
    if (ticks == m_ticks)
        return;
    for (const QString &label : m_timeAxis->categoriesLabels())
        m_timeAxis->remove(label);
    m_timeAxis->setStartValue(timeToAxis(oldest));
    for (const qint64 tick : ticks)
        m_timeAxis->append(QDateTime::fromMSecsSinceEpoch(tick).toString(QStringLiteral("HH:mm")), timeToAxis(tick));
    m_ticks = std::move(ticks);
}

void SignalPlot::fitLevels(const SignalHistory &history)
{
    if (history.samples().empty())
        return;
    int lowest = std::numeric_limits<int>::max();
    int highest = std::numeric_limits<int>::min();
    for (const SignalHistory::Sample &sample : history.samples())
        for (const std::int8_t level : sample.level) {
            lowest = std::min<int>(lowest, level);
            highest = std::max<int>(highest, level);
        }
    const LevelScale scale = levelScale(lowest, highest);
    if (scale == m_scale)
        return;
    m_scale = scale;
    m_levelAxis->setTickInterval(scale.interval);
    m_levelAxis->setRange(scale.low, scale.high);
}

void SignalPlot::retranslate()
{
    const std::array<QString, kLineCount> names{tr("Line A"), tr("Line B")};
    for (std::size_t line = 0; line < m_series.size(); ++line)
        m_series[line].front()->setName(names[line]);
    // The adapter's own values: no unit is known for them.
    m_levelAxis->setTitleText(tr("signal level"));
    m_timeAxis->setTitleText(tr("Local time (%1)").arg(utcOffsetText(m_utcOffset)));
}

void SignalPlot::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QChartView::changeEvent(event);
}

} // namespace vestra7
