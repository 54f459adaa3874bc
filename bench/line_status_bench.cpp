// SPDX-License-Identifier: GPL-3.0-or-later
// What the Line status window costs: the program's CPU while it polls the emulated adapter on the
// in-process bus (USB timing on, both lines' signal changing at every poll), with the window closed
// and then open and plotting; and one redraw of a plot holding ten minutes of history.
//
//   line_status_bench [seconds]
#include "bench_table.h"

#include "app/application.h"
#include "link/adapter.h"
#include "model/signal_history.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "ui/line_status_window.h"
#include "ui/main_window.h"
#include "ui/signal_plot.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

using namespace vestra7;

namespace {

double ownCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void runFor(std::chrono::milliseconds span)
{
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
}

// Percent of one core the process spent over `seconds` of polling.
double cpuPercent(int seconds)
{
    const double before = ownCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    runFor(std::chrono::seconds(seconds));
    return 100.0 * (ownCpuSeconds() - before) / (static_cast<double>(clock.nsecsElapsed()) / 1e9);
}

// Milliseconds one redraw of a full plot takes, the median of `rounds`: each round a second of new
// samples, the plot's update and its painting.
double fullPlotRedrawMs(int rounds)
{
    SignalHistory history;
    const qint64 start = 1'780'000'000'000;
    int i = 0;
    const auto appendSecond = [&] {
        for (const int end = i + 5; i < end; ++i)
            history.append(
                {start + i * 200, {static_cast<std::int8_t>(-60 - i % 30), static_cast<std::int8_t>(-80 + i % 20)}});
    };
    while (i <= 10 * 60 * 5)
        appendSecond();
    SignalPlot plot;
    plot.resize(620, 300);
    plot.show();
    QCoreApplication::processEvents();
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        appendSecond();
        QElapsedTimer clock;
        clock.start();
        plot.showHistory(history);
        QCoreApplication::processEvents();
        plot.repaint();
        times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

    QTemporaryDir dir;
    EmulatedBus bus;
    auto adapter = std::make_shared<EmulatedAdapter>();
    adapter->setUsbTiming(true);
    bus.plug(adapter);
    Application program([&bus] { return std::make_unique<EmulatedBackend>(bus); },
                        dir.filePath(QStringLiteral("backups")));
    // The worst case for the plot: both lines' levels change at every poll, as they can while the
    // antenna is moved. Each record the program takes sets new levels for the next poll's reply.
    int tick = 0;
    QObject::connect(&program.adapter(), &AdapterPort::recordChanged, [&] {
        ++tick;
        adapter->setSignalLevel(0, static_cast<std::int8_t>(-60 - tick % 25));
        adapter->setSignalLevel(1, static_cast<std::int8_t>(-90 + tick % 15));
    });
    // The window measured is one of the bench's own over the program's adapter, whose clock first
    // runs through ten minutes of records in a moment, so that its plot is as full as after ten
    // minutes of use; then it keeps the real time.
    qint64 clockOffset = 0;
    LineStatusWindow lineStatus(program.adapter(), &program.mainWindow(),
                                [&clockOffset] { return QDateTime::currentMSecsSinceEpoch() + clockOffset; });
    program.mainWindow().show();
    runFor(std::chrono::seconds(2));
    constexpr int kTenMinutesOfRecords = 10 * 60 * 5;
    for (int i = kTenMinutesOfRecords; i > 0; --i) {
        clockOffset = -qint64{i} * 200;
        emit program.adapter().recordChanged();
    }
    clockOffset = 0;
    runFor(std::chrono::seconds(2));
    const double closed = cpuPercent(seconds);
    lineStatus.show();
    runFor(std::chrono::seconds(2));
    const double open = cpuPercent(seconds);
    const std::size_t samples = lineStatus.history().samples().size();
    program.adapter().shutdown();

    tableRow("CPU while polling, demo bus, both lines' signal changing at every poll: program and emulated adapter, "
             "Line status closed",
             formatted("%.2f %% of one core", closed), "");
    tableRow("CPU while polling, demo bus, both lines' signal changing at every poll: program and emulated adapter, "
             "Line status open and plotting ten minutes",
             formatted("%.2f %% of one core", open) + formatted(" (%+.2f points)", open - closed),
             "at most 0.5 points more than closed");
    tableRow("Line status plot redrawn with ten minutes of history (3001 samples a line)",
             formatted("%.1f ms, every two seconds while open", fullPlotRedrawMs(15)),
             std::to_string(samples) + " samples kept after the run");
    return open - closed <= 0.5 ? 0 : 1;
}
