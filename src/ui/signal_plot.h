// SPDX-License-Identifier: GPL-3.0-or-later
// The signal level of both lines against the time of day.
#pragma once

#include "model/signal_history.h"

#include <QChartView>

#include <array>
#include <chrono>

class QDateTimeAxis;
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

    void showHistory(const SignalHistory &history);

    const QLineSeries &series(std::size_t line) const { return *m_series.at(line); }

private:
    void fitAxes(const SignalHistory &history);

    std::array<QLineSeries *, kLineCount> m_series{};
    QDateTimeAxis *m_timeAxis = nullptr;
    QValueAxis *m_levelAxis = nullptr;
    int m_low = 0;
    int m_high = 0;
};

} // namespace vestra7
