// SPDX-License-Identifier: GPL-3.0-or-later
// The signal level of both lines of one adapter over the last minutes, one sample per record, for
// the plot and the installation report.
#pragma once

#include "model/device_record.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace vestra7 {

class SignalHistory
{
public:
    struct Sample
    {
        qint64 time = 0; // milliseconds since the epoch
        std::array<std::int8_t, kLineCount> level{};
        // The adapter was not in use just before this sample (another one was): the plotted line
        // breaks here.
        bool afterPause = false;
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

    // "time,line A,line B,adapter" and one row per sample, the time in UTC ISO 8601 with milliseconds,
    // the levels as numbers and `adapter` as text.
    QByteArray toCsv(const QString &adapter) const;

private:
    std::chrono::milliseconds m_span;
    std::deque<Sample> m_samples;
};

// Samples [begin, end) that follow each other without a pause of the adapter.
struct SignalRun
{
    std::size_t begin = 0;
    std::size_t end = 0;

    bool operator==(const SignalRun &) const = default;
};

// Records come five times a second: a longer silence than this means the adapter was not in use
// (unplugged, restarting, or not answering).
constexpr std::chrono::milliseconds kLongestRecordGap{2000};

// The runs of the samples, in order: a new one starts at a sample taken after a pause, or more than
// `longestGap` after the one before it.
std::vector<SignalRun> signalRuns(const std::deque<SignalHistory::Sample> &samples,
                                  std::chrono::milliseconds longestGap = kLongestRecordGap);

} // namespace vestra7
