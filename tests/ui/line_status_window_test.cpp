// SPDX-License-Identifier: GPL-3.0-or-later
// The line status window: what it shows of a record, the signal history its plot follows, and the
// files it saves.
#include "model/signal_history.h"
#include "support/fake_adapter.h"
#include "support/record_builders.h"
#include "ui/line_status_window.h"
#include "ui/signal_plot.h"

#include <QCategoryAxis>
#include <QFileInfo>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <set>

namespace vestra7 {

namespace {

constexpr qint64 kStart = 1'780'000'000'000; // some afternoon in 2026, in milliseconds
constexpr qint64 kRecordEvery = 200;

class LineStatusWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { useAdapter("V7-2041-000117"); }

    // The adapter with this key is claimed, as a choice in Tools > Adapter ends: the windows pass
    // through "disconnected" first.
    void useAdapter(const char *key)
    {
        emit adapter.connectionChanged(false);
        adapter.setIdentity(
            {QStringLiteral("VESTRA7-2L"), QString::fromLatin1(key), QStringLiteral("1.2"), QString::fromLatin1(key)});
        emit adapter.connectionChanged(true);
    }

    QString text(const char *name) const { return window.findChild<QLabel *>(QString::fromLatin1(name))->text(); }

    // A record whose lines report these signal levels, at the fake clock's next tick.
    void receiveLevels(std::int8_t a, std::int8_t b)
    {
        now += kRecordEvery;
        record.rssi[0] = a;
        record.rssi[1] = b;
        adapter.receive(record);
    }

    // The levels plotted for the line, all its stretches one after the other.
    std::vector<qreal> plotted(std::size_t line) const
    {
        std::vector<qreal> levels;
        for (const QList<QPointF> &run : window.plot().plotted(line))
            for (const QPointF &point : run)
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return plotted(0).size() == 301; }));

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
    EXPECT_EQ(lines[0].trimmed(), "time,line A,line B,adapter");
    const auto &samples = window.history().samples();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const QList<QByteArray> fields = lines[static_cast<qsizetype>(i) + 1].trimmed().split(',');
        ASSERT_EQ(fields.size(), 4);
        EXPECT_EQ(QDateTime::fromString(QString::fromLatin1(fields[0]), Qt::ISODateWithMs).toMSecsSinceEpoch(),
                  samples[i].time);
        EXPECT_EQ(fields[1].toInt(), samples[i].level[0]);
        EXPECT_EQ(fields[2].toInt(), samples[i].level[1]);
        EXPECT_EQ(fields[3], "V7-2041-000117");
    }
    EXPECT_FALSE(QImage(pngName, "PNG").isNull());
}

TEST_F(LineStatusWindowTest, SwitchingAdaptersAndBackKeepsEachHistoryApartAndBreaksTheLine)
{
    const auto shownName = [&] {
        return text("adapterName");
    };
    useAdapter("V7-FIRST");
    window.show();
    for (int i = 0; i < 20; ++i)
        receiveLevels(-60, -61);
    useAdapter("V7-SECOND");
    EXPECT_EQ(window.shownAdapter(), "V7-SECOND");
    EXPECT_EQ(shownName(), "V7-SECOND");
    for (int i = 0; i < 20; ++i)
        receiveLevels(-90, -91);
    useAdapter("V7-FIRST");
    EXPECT_EQ(shownName(), "V7-FIRST");
    for (int i = 0; i < 20; ++i)
        receiveLevels(-62, -63);

    const struct
    {
        const char *adapter;
        std::vector<int> levels;
        std::size_t runs;
    } expected[] = {{"V7-FIRST", {-60, -62}, 2}, {"V7-SECOND", {-90}, 1}};
    for (const auto &[name, levels, runs] : expected) {
        const SignalHistory &history = window.histories().of(QString::fromLatin1(name));
        std::set<int> kept;
        for (const SignalHistory::Sample &sample : history.samples())
            kept.insert(sample.level[0]);
        EXPECT_EQ(std::vector<int>(kept.begin(), kept.end()), (std::vector<int>(levels.rbegin(), levels.rend())))
            << name;
        EXPECT_EQ(signalRuns(history.samples()).size(), runs) << name;
    }
    // The plot shows the first adapter's two stretches, with nothing of the second's between them.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.plot().plotted(0).size() == 2; }));
    for (const QList<QPointF> &run : window.plot().plotted(0))
        for (const QPointF &point : run)
            EXPECT_NE(point.y(), -90);
    for (std::size_t run = 0; run < 2; ++run)
        EXPECT_FALSE(window.plot().plotted(1).at(run).isEmpty()) << run;

    // Save data writes the adapter shown, named in every row.
    QTemporaryDir folder;
    ASSERT_TRUE(window.saveData(folder.filePath("first.csv")));
    QFile csv(folder.filePath("first.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = csv.readAll().trimmed().split('\n');
    ASSERT_EQ(rows.size(), 41);
    for (qsizetype i = 1; i < rows.size(); ++i) {
        EXPECT_TRUE(rows[i].trimmed().endsWith(",V7-FIRST")) << rows[i].toStdString();
        EXPECT_FALSE(rows[i].contains(",-90,")) << rows[i].toStdString();
    }
}

TEST_F(LineStatusWindowTest, TextsFromTheAdapterAreShownAsPlainText)
{
    useAdapter("<b>V7</b>");
    std::memcpy(record.ops[0], "<i>Op</i>", 10);
    std::memcpy(record.usd_txt, "<a href='x'>pay</a>", 20);
    adapter.receive(record);
    window.show();
    EXPECT_EQ(text("adapterName"), "<b>V7</b>");
    EXPECT_EQ(text("operatorA"), "<i>Op</i>");
    EXPECT_EQ(text("simCaption"), "SIM presence");
    for (const char *name : {"adapterName", "stateA", "stateB", "simA", "simB", "signalA", "signalB", "operatorA",
                             "operatorB", "ussdNumberA", "ussdNumberB", "ussdText"})
        EXPECT_EQ(window.findChild<QLabel *>(QString::fromLatin1(name))->textFormat(), Qt::PlainText) << name;
}

TEST_F(LineStatusWindowTest, ThePlotsAxesAreTitledAndTickedAtRoundValuesOfLocalTime)
{
    for (int i = 0; i < 10 * 60 * 5; ++i)
        receiveLevels(static_cast<std::int8_t>(-70 - i % 11), -72);
    window.show();
    const QValueAxis &level = window.plot().levelAxis();
    EXPECT_TRUE(QTest::qWaitFor([&] { return level.max() > level.min(); }));
    EXPECT_EQ(level.min(), -85);
    EXPECT_EQ(level.max(), -65);
    EXPECT_EQ(level.tickInterval(), 5);
    EXPECT_FALSE(level.titleText().isEmpty());
    QCategoryAxis &time = window.plot().timeAxis();
    EXPECT_TRUE(time.titleText().contains(QLatin1String("UTC"))) << time.titleText().toStdString();
    // Ticks every two minutes of local time, labelled with it.
    const QStringList labels = time.categoriesLabels();
    ASSERT_GE(labels.size(), 4);
    for (const QString &label : labels) {
        const qint64 at = SignalPlot::axisToTime(time.endValue(label));
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(at);
        EXPECT_EQ(local.toString(QStringLiteral("HH:mm")), label);
        EXPECT_EQ(local.time().second(), 0) << label.toStdString();
        EXPECT_EQ(local.time().minute() % 2, 0) << label.toStdString();
        EXPECT_GE(at, now - 10 * 60 * 1000);
        EXPECT_LE(at, now);
    }
}

TEST_F(LineStatusWindowTest, SavedFilesGetTheirExtensionAndThePictureNamesTheAdapterAndTheDate)
{
    receiveLevels(-70, -80);
    window.show();
    QTemporaryDir folder;
    const struct
    {
        const char *typed;
        const char *written;
    } names[] = {{"levels", "levels"}, {"report.", "report"}, {"kept.txt", "kept.txt"}};
    const struct
    {
        const char *button;
        FileDialog &dialog;
        const char *extension;
    } saves[] = {{"saveDataButton", window.saveDataDialog(), ".csv"},
                 {"savePictureButton", window.savePictureDialog(), ".png"}};
    for (const auto &[button, dialog, extension] : saves)
        for (const auto &[typed, written] : names) {
            const QString chosen = folder.filePath(QString::fromLatin1(typed));
            const QLatin1String offered(extension);
            dialog.setChooser([chosen, offered](QWidget *, const FileDialog::Offer &offer) {
                EXPECT_TRUE(offer.filter.contains(offered)) << offer.filter.toStdString();
                return std::optional(chosen);
            });
            QTest::mouseClick(window.findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
            QString expected = folder.filePath(QString::fromLatin1(written));
            if (!expected.endsWith(QLatin1String(".txt")))
                expected += QLatin1String(extension);
            EXPECT_TRUE(QFileInfo::exists(expected)) << button << " " << typed << " -> " << expected.toStdString();
            QFile::remove(expected);
        }

    const QString png = folder.filePath("signal.png");
    ASSERT_TRUE(window.savePicture(png));
    const QImage picture(png, "PNG");
    ASSERT_FALSE(picture.isNull());
    const QString title = picture.text(QStringLiteral("Title"));
    const QDateTime sampled = QDateTime::fromMSecsSinceEpoch(now);
    for (const QString &part :
         {QStringLiteral("V7-2041-000117"), sampled.toString(QStringLiteral("yyyy-MM-dd")), QStringLiteral("UTC")})
        EXPECT_TRUE(title.contains(part)) << title.toStdString() << " lacks " << part.toStdString();
    EXPECT_GT(picture.height(), window.plot().height());
}

} // namespace

} // namespace vestra7
