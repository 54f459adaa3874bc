// SPDX-License-Identifier: GPL-3.0-or-later
// The plot's ticks at round levels and whole local minutes, and where the line status window opens
// beside the main window: computed apart from any drawing.
#include "ui/plot_scale.h"
#include "ui/window_placement.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <vector>

namespace vestra7 {

namespace {

TEST(PlotScale, LevelTicksFallOnRoundValuesAroundEveryLevel)
{
    const struct
    {
        int lowest;
        int highest;
        LevelScale scale;
    } cases[] = {
        {-84, -60, {-85, -55, 5}},                                 // a moving antenna: every 5
        {-85, -55, {-90, -50, 5}},                                 // a level on a tick keeps a margin
        {-63, -63, {-65, -60, 5}},                                 // one level alone
        {-90, -50, {-100, -40, 10}},                               // too many steps of 5
        {-1, 1, {-5, 5, 5}},                                       // across zero
        {0, 99, {-20, 100, 20}},     {-128, 127, {-150, 150, 50}}, // every value the adapter can send
    };
    for (const auto &[lowest, highest, scale] : cases) {
        const LevelScale got = levelScale(lowest, highest);
        EXPECT_EQ(got, scale) << lowest << ".." << highest << ": " << got.low << ".." << got.high << " every "
                              << got.interval;
        EXPECT_LT(got.low, lowest);
        EXPECT_GT(got.high, highest);
    }
}

TEST(PlotScale, TimeTicksFallOnWholeMinutesOfLocalTime)
{
    // 2026-05-28 20:26:40 UTC.
    const qint64 newest = 1'780'000'000'000;
    const qint64 tenMinutes = 10 * 60'000;
    const auto at = [](const char *utc) {
        return QDateTime::fromString(QString::fromLatin1(utc), Qt::ISODate).toMSecsSinceEpoch();
    };
    const struct
    {
        const char *zone;
        int offset;
        qint64 from;
        qint64 to;
        std::vector<qint64> ticks;
    } cases[] = {
        {"UTC, ten minutes: every two",
         0,
         newest - tenMinutes,
         newest,
         {at("2026-05-28T20:18:00Z"), at("2026-05-28T20:20:00Z"), at("2026-05-28T20:22:00Z"),
          at("2026-05-28T20:24:00Z"), at("2026-05-28T20:26:00Z")}},
        {"half an hour ahead: still whole local minutes",
         5 * 3600 + 1800,
         newest - tenMinutes,
         newest,
         {at("2026-05-28T20:18:00Z"), at("2026-05-28T20:20:00Z"), at("2026-05-28T20:22:00Z"),
          at("2026-05-28T20:24:00Z"), at("2026-05-28T20:26:00Z")}},
        {"a quarter behind: an odd UTC minute is an even local one",
         -(3 * 3600 + 45 * 60),
         newest - tenMinutes,
         newest,
         {at("2026-05-28T20:17:00Z"), at("2026-05-28T20:19:00Z"), at("2026-05-28T20:21:00Z"),
          at("2026-05-28T20:23:00Z"), at("2026-05-28T20:25:00Z")}},
        {"three minutes: every minute",
         0,
         newest - 3 * 60'000,
         newest,
         {at("2026-05-28T20:24:00Z"), at("2026-05-28T20:25:00Z"), at("2026-05-28T20:26:00Z")}},
        {"a tick on the end itself",
         0,
         at("2026-05-28T20:16:00Z"),
         at("2026-05-28T20:26:00Z"),
         {at("2026-05-28T20:16:00Z"), at("2026-05-28T20:18:00Z"), at("2026-05-28T20:20:00Z"),
          at("2026-05-28T20:22:00Z"), at("2026-05-28T20:24:00Z"), at("2026-05-28T20:26:00Z")}},
        {"an hour: every ten",
         0,
         newest - 60 * 60'000,
         newest,
         {at("2026-05-28T19:30:00Z"), at("2026-05-28T19:40:00Z"), at("2026-05-28T19:50:00Z"),
          at("2026-05-28T20:00:00Z"), at("2026-05-28T20:10:00Z"), at("2026-05-28T20:20:00Z")}},
    };
    for (const auto &[zone, offset, from, to, ticks] : cases)
        EXPECT_EQ(timeTicks(from, to, offset), ticks) << zone;
}

TEST(PlotScale, TheTimeZoneIsNamedByItsOffset)
{
    const struct
    {
        int offset;
        const char *name;
    } cases[] = {{0, "UTC"},
                 {3600, "UTC+01:00"},
                 {5 * 3600 + 1800, "UTC+05:30"},
                 {-(3 * 3600 + 1800), "UTC-03:30"},
                 {14 * 3600, "UTC+14:00"}};
    for (const auto &[offset, name] : cases)
        EXPECT_EQ(utcOffsetText(offset), QString::fromLatin1(name)) << offset;
}

TEST(WindowPlacement, BesideWhereTheScreenHasRoomOverOnlyWhereItHasNone)
{
    const QRect screen(0, 0, 1280, 1000);
    const QSize own(640, 560);
    const struct
    {
        const char *where;
        QRect main;
        QPoint position;
    } cases[] = {
        {"room on the right", {10, 20, 565, 427}, {575, 20}},
        {"room only on the left", {700, 20, 565, 427}, {60, 20}},
        {"right exactly filled", {0, 0, 640, 400}, {640, 0}},
        {"low on the screen: as high as it needs", {10, 800, 565, 150}, {575, 440}},
        {"no room either side: over it, on the screen", {300, 300, 700, 600}, {330, 320}},
    };
    for (const auto &[where, main, position] : cases) {
        const QPoint got = besidePosition(main, own, screen);
        EXPECT_EQ(got, position) << where << ": " << got.x() << "," << got.y();
        const QRect placed(got, own);
        EXPECT_TRUE(screen.contains(placed)) << where;
        if (QString::fromLatin1(where).startsWith(QLatin1String("room"))) {
            EXPECT_FALSE(placed.intersects(main)) << where;
        }
    }
    // A screen that does not start at the origin, as a second monitor does.
    EXPECT_EQ(besidePosition({1300, 100, 565, 427}, own, {1280, 0, 1920, 1080}), QPoint(1865, 100));
}

} // namespace

} // namespace vestra7
