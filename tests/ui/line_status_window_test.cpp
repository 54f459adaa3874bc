// SPDX-License-Identifier: GPL-3.0-or-later
// The line status window: what it shows of a record, the signal history its plot follows, and the
// files it saves.
#include "model/signal_history.h"
#include "support/fake_adapter.h"
#include "support/record_builders.h"
#include "ui/line_status_window.h"
#include "ui/signal_plot.h"

#include <QLabel>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

namespace vestra7 {

namespace {

constexpr qint64 kStart = 1'780'000'000'000; // some afternoon in 2026, in milliseconds
constexpr qint64 kRecordEvery = 200;

class LineStatusWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { emit adapter.connectionChanged(true); }

    QString text(const char *name) const { return window.findChild<QLabel *>(QString::fromLatin1(name))->text(); }

    // A record whose lines report these signal levels, at the fake clock's next tick.
    void receiveLevels(std::int8_t a, std::int8_t b)
    {
        now += kRecordEvery;
        record.rssi[0] = a;
        record.rssi[1] = b;
        adapter.receive(record);
    }

    std::vector<qreal> plotted(std::size_t line) const
    {
        std::vector<qreal> levels;
        for (const QPointF &point : window.plot().series(line).points())
            levels.push_back(point.y());
        return levels;
    }

    qint64 now = kStart - kRecordEvery; // the first record opens a step of the plot
    FakeAdapter adapter;
    LineStatusWindow window{adapter, nullptr, [this] {
                                return now;
                            }};
    DeviceRecord record = readyRecord();
};

TEST_F(LineStatusWindowTest, ShowsEachLinesValuesAsTheAdapterReportsThem)
{
    record.stat[0] = 1;
    record.stat[1] = 4;
    record.sim_pres[0] = 1;
    record.sim_pres[1] = 0;
    record.rssi[0] = -67;
    record.rssi[1] = 0;
    std::memcpy(record.ops[0], "Nordline", 9);
    std::memset(record.ops[1], 'X', sizeof record.ops[1]); // a full field without its zero byte
    std::memcpy(record.ussd_num[0], "*100#", 6);
    std::memcpy(record.usd_txt, "Balance 12.50", 14);
    adapter.receive(record);
    window.show();

    const std::vector<std::pair<const char *, QString>> expected{
        {"stateA", "ready (1)"},
        {"stateB", "in a call (4)"},
        {"simA", "1"},
        {"simB", "0"},
        {"signalA", "-67"},
        {"signalB", "0"},
        {"operatorA", "Nordline"},
        {"operatorB", QString(16, u'X')},
        {"ussdNumberA", "*100#"},
        {"ussdNumberB", ""},
        {"ussdText", "Balance 12.50"},
    };
    for (const auto &[label, value] : expected)
        EXPECT_EQ(text(label), value) << label;

    record.stat[1] = 2;
    adapter.receive(record);
    EXPECT_EQ(text("stateB"), "busy (2)");
}

TEST_F(LineStatusWindowTest, ThePlotShowsTheLastSampleOfEachStepAlsoOfThoseThatCameWhileHidden)
{
    // Ten records to a two-second step: the plot takes the last of each.
    for (int i = 0; i < 20; ++i)
        receiveLevels(static_cast<std::int8_t>(-60 - i), -90);
    window.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return plotted(0) == (std::vector<qreal>{-69, -79}); }));
    receiveLevels(-128, 127);
    EXPECT_TRUE(QTest::qWaitFor([&] { return plotted(1) == (std::vector<qreal>{-90, -90, 127}); }));
    EXPECT_EQ(window.history().samples().size(), 21u);

    // The adapter leaving and being found again adds nothing until it is connected.
    emit adapter.connectionChanged(false);
    adapter.receive(record);
    EXPECT_EQ(window.history().samples().size(), 21u);
}

TEST_F(LineStatusWindowTest, TenMinutesLaterTheFirstSamplesHaveGone)
{
    const int tenMinutes = 10 * 60 * 1000 / kRecordEvery;
    for (int i = 0; i < tenMinutes + 5; ++i)
        receiveLevels(static_cast<std::int8_t>(-(i % 100)), -1);
    // A sample exactly ten minutes old is still inside; older ones are gone.
    ASSERT_EQ(window.history().samples().size(), static_cast<std::size_t>(tenMinutes + 1));
    EXPECT_EQ(window.history().samples().front().time, now - 10 * 60 * 1000);
    window.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.plot().series(0).count() == 301; }));

    // A clock set back starts the history over rather than plotting backwards.
    now -= 60 * 60 * 1000;
    receiveLevels(-50, -60);
    EXPECT_EQ(window.history().samples().size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return plotted(1) == std::vector<qreal>{-60}; }));
}

TEST_F(LineStatusWindowTest, TheSavedDataReadsBackAsTheSamplesAndThePictureIsAPng)
{
    receiveLevels(-70, -80);
    receiveLevels(5, -1);
    window.show();
    QTemporaryDir folder;
    const QString csvName = folder.filePath("signal.csv");
    const QString pngName = folder.filePath("signal.png");
    ASSERT_TRUE(window.saveData(csvName));
    ASSERT_TRUE(window.savePicture(pngName));

    QFile csv(csvName);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4); // header, two samples, and the end of the last line
    EXPECT_EQ(lines[0].trimmed(), "time,line A,line B");
    const auto &samples = window.history().samples();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const QList<QByteArray> fields = lines[static_cast<qsizetype>(i) + 1].trimmed().split(',');
        ASSERT_EQ(fields.size(), 3);
        EXPECT_EQ(QDateTime::fromString(QString::fromLatin1(fields[0]), Qt::ISODateWithMs).toMSecsSinceEpoch(),
                  samples[i].time);
        EXPECT_EQ(fields[1].toInt(), samples[i].level[0]);
        EXPECT_EQ(fields[2].toInt(), samples[i].level[1]);
    }
    EXPECT_FALSE(QImage(pngName, "PNG").isNull());
}

} // namespace

} // namespace vestra7
