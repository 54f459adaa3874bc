// SPDX-License-Identifier: GPL-3.0-or-later
// The signal level of both lines over the last minutes, one sample per record, for the plot and
// the installation report.
#pragma once

#include "model/device_record.h"

#include <QByteArray>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>

namespace vestra7 {

class SignalHistory
{
public:
    struct Sample
    {
        qint64 time = 0; // milliseconds since the epoch
        std::array<std::int8_t, kLineCount> level{};
    };

    // Records come five times a second; the count cap bounds memory even if they came far faster.
    static constexpr std::chrono::minutes kDefaultSpan{10};
    static constexpr std::size_t kMaxSamples = 30'000;

    explicit SignalHistory(std::chrono::milliseconds span = kDefaultSpan);

    // Adds a sample and drops those that have fallen out of the span (or past the cap). A time before
    // the last sample (the clock set back) starts the history over.
    void append(const Sample &sample);
    void clear() { m_samples.clear(); }

    const std::deque<Sample> &samples() const { return m_samples; }
    std::chrono::milliseconds span() const { return m_span; }

    // "time,line A,line B" and one row per sample, the time in UTC ISO 8601 with milliseconds.
    QByteArray toCsv() const;

private:
    std::chrono::milliseconds m_span;
    std::deque<Sample> m_samples;
};

} // namespace vestra7
