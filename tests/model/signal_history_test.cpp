// SPDX-License-Identifier: GPL-3.0-or-later
// The adapters' signal histories: kept apart, broken where an adapter was not in use, and written as
// CSV whose adapter cell no name can spill out of.
#include "model/signal_histories.h"
#include "model/signal_history.h"

#include <gtest/gtest.h>

#include <vector>

namespace vestra7 {

namespace {

constexpr qint64 kStart = 1'780'000'000'000;

using Sample = SignalHistory::Sample;

TEST(SignalHistory, RunsBreakAfterAPauseOrASilence)
{
    const struct
    {
        const char *what;
        std::vector<Sample> samples;
        std::vector<SignalRun> runs;
    } cases[] = {
        {"none", {}, {}},
        {"one", {{kStart, {}}}, {{0, 1}}},
        {"records five times a second", {{kStart, {}}, {kStart + 200, {}}, {kStart + 400, {}}}, {{0, 3}}},
        {"a silence of exactly the longest gap", {{kStart, {}}, {kStart + kLongestRecordGap.count(), {}}}, {{0, 2}}},
        {"a silence longer than that",
         {{kStart, {}}, {kStart + 200, {}}, {kStart + 200 + kLongestRecordGap.count() + 1, {}}},
         {{0, 2}, {2, 3}}},
        {"another adapter used in between, however briefly",
         {{kStart, {}}, {kStart + 200, {}, true}, {kStart + 400, {}}, {kStart + 600, {}, true}},
         {{0, 1}, {1, 3}, {3, 4}}},
    };
    for (const auto &[what, samples, runs] : cases) {
        const std::deque<Sample> deque(samples.begin(), samples.end());
        EXPECT_EQ(signalRuns(deque), runs) << what;
    }
}

TEST(SignalHistories, EachAdapterKeepsItsOwnSamplesAndPausesWhileAnotherIsUsed)
{
    SignalHistories histories;
    const struct
    {
        const char *adapter;
        std::int8_t level;
    } used[] = {{"V7-A", -60}, {"V7-A", -61}, {"V7-B", -90}, {"V7-B", -91}, {"V7-A", -62}, {"V7-B", -92}};
    qint64 now = kStart;
    for (const auto &[adapter, level] : used)
        histories.append(QString::fromLatin1(adapter), {now += 200, {level, level}});

    EXPECT_EQ(histories.adapterCount(), 2u);
    EXPECT_TRUE(histories.of(QStringLiteral("V7-C")).samples().empty());
    const struct
    {
        const char *adapter;
        std::vector<int> levels;
        std::vector<SignalRun> runs;
    } expected[] = {{"V7-A", {-60, -61, -62}, {{0, 2}, {2, 3}}}, {"V7-B", {-90, -91, -92}, {{0, 2}, {2, 3}}}};
    for (const auto &[adapter, levels, runs] : expected) {
        const SignalHistory &history = histories.of(QString::fromLatin1(adapter));
        std::vector<int> kept;
        for (const Sample &sample : history.samples())
            kept.push_back(sample.level[0]);
        EXPECT_EQ(kept, levels) << adapter;
        EXPECT_EQ(signalRuns(history.samples()), runs) << adapter;
    }
}

TEST(SignalHistories, EachAdapterHasItsOwnSpanAndCap)
{
    SignalHistories histories;
    // Twelve minutes of one adapter, then eleven of another: each keeps its own last ten.
    const qint64 twelveMinutes = 12 * 60 * 1000;
    for (qint64 t = 0; t <= twelveMinutes; t += 200)
        histories.append(QStringLiteral("V7-A"), {kStart + t, {}});
    for (qint64 t = 200; t <= twelveMinutes - 60'000; t += 200)
        histories.append(QStringLiteral("V7-B"), {kStart + twelveMinutes + t, {}});
    const std::size_t tenMinutes = 10 * 60 * 5 + 1;
    EXPECT_EQ(histories.of(QStringLiteral("V7-A")).samples().size(), tenMinutes);
    EXPECT_EQ(histories.of(QStringLiteral("V7-B")).samples().size(), tenMinutes);
    EXPECT_EQ(histories.of(QStringLiteral("V7-A")).samples().back().time, kStart + twelveMinutes);

    // Records far faster than five a second stop at the cap.
    for (std::size_t i = 0; i < SignalHistory::kMaxSamples + 10; ++i)
        histories.append(QStringLiteral("V7-A"), {kStart + twelveMinutes + 1 + static_cast<qint64>(i), {}});
    EXPECT_EQ(histories.of(QStringLiteral("V7-A")).samples().size(), SignalHistory::kMaxSamples);
}

TEST(SignalHistory, TheCsvNamesTheAdapterInACellOfItsOwn)
{
    SignalHistory history;
    history.append({kStart, {-70, 5}});
    const struct
    {
        const char *adapter;
        QByteArray cell;
    } cases[] = {
        {"V7-2041-000117", "V7-2041-000117"},
        {"DUP@1-2", "DUP@1-2"},
        {"A,B", "\"A,B\""},
        {"A;B", "\"A;B\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nrows", "\"two\r\nrows\""},
        {" padded ", "\" padded \""},
        {"Серия", "Серия"},
        {"=1+1", "'=1+1"},
        {"0049", "'0049"},
    };
    for (const auto &[adapter, cell] : cases) {
        const QByteArray csv = history.toCsv(QString::fromUtf8(adapter));
        EXPECT_EQ(csv, "time,line A,line B,adapter\r\n2026-05-28T20:26:40.000Z,-70,5," + cell + "\r\n") << adapter;
    }
}

} // namespace

} // namespace vestra7
