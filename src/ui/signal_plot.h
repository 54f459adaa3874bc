// SPDX-License-Identifier: GPL-3.0-or-later
// The signal level of both lines against the time of day, fed one sample per record.
#pragma once

#include "model/signal_history.h"

#include <QChartView>

#include <array>

class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

class SignalPlot final : public QChartView
{
    Q_OBJECT

public:
    explicit SignalPlot(QWidget *parent = nullptr);

    // Draws the whole history anew, as when the window opens.
    void showHistory(const SignalHistory &history);
    // The history's newest sample, after it dropped `dropped` samples from its front.
    void addSample(const SignalHistory &history, std::size_t dropped);

    const QLineSeries &series(std::size_t line) const { return *m_series.at(line); }

private:
    void fitAxes(const SignalHistory &history);

    std::array<QLineSeries *, kLineCount> m_series{};
    QDateTimeAxis *m_timeAxis = nullptr;
    QValueAxis *m_levelAxis = nullptr;
    int m_low = 0;
    int m_high = 0;
};
