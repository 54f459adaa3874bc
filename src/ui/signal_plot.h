// SPDX-License-Identifier: GPL-3.0-or-later
// The signal level of both lines of one adapter against the local time of day.
#pragma once

#include "model/signal_history.h"
#include "ui/plot_scale.h"

#include <QChartView>

#include <array>
#include <chrono>
#include <vector>

class QCategoryAxis;
class QLineSeries;
class QValueAxis;

namespace vestra7 {

class SignalPlot final : public QChartView
{
    Q_OBJECT

public:
    // A chart redraws every point each time it changes, so the plot shows one sample per step, the
    // last of each, not all five a second: ten minutes are 300 points a line.
    static constexpr std::chrono::seconds kStep{2};

    explicit SignalPlot(QWidget *parent = nullptr);

    // The time axis counts minutes since the epoch: an axis of milliseconds would put its ticks
    // less than a pixel apart, and Qt's category axis draws no label then.
    static qreal timeToAxis(qint64 msecsSinceEpoch) { return static_cast<qreal>(msecsSinceEpoch) / 60'000.0; }
    static qint64 axisToTime(qreal minutes) { return qRound64(minutes * 60'000.0); }

    void showHistory(const SignalHistory &history);

    // The points drawn for the line, one list per unbroken stretch, oldest first.
    std::vector<QList<QPointF>> plotted(std::size_t line) const;
    const QValueAxis &levelAxis() const { return *m_levelAxis; }
    // Qt reads the categories through non-const functions only.
    QCategoryAxis &timeAxis() const { return *m_timeAxis; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    QLineSeries &stretch(std::size_t line, std::size_t run);
    void fitLevels(const SignalHistory &history);
    void fitTime(const SignalHistory &history);

    // One series for each unbroken stretch of a line; those past the stretches shown stay empty.
    std::array<std::vector<QLineSeries *>, kLineCount> m_series{};
    std::size_t m_runsShown = 0;
    QCategoryAxis *m_timeAxis = nullptr;
    QValueAxis *m_levelAxis = nullptr;
    LevelScale m_scale{0, 0, 0};
    std::vector<qint64> m_ticks;
    int m_utcOffset = 0;
};

} // namespace vestra7
