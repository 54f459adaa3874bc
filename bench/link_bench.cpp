// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the link while it polls the emulated adapter at full-speed USB timing: the time from a
// poll's post to the end of the main window's Refresh.
// Over the emulated bus by default; with --hidraw, run under umockdev-wrapper, through hidapi, hidraw
// and the udev monitor to a virtual node, as the program runs on Linux.
//
//   link_bench [seconds] [--hidraw]
#include "bench_table.h"

#include "link/adapter.h"
#include "link/hidapi_backend.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/virtual_hidraw.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <vector>

using namespace vestra7;

namespace {

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[index];
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int seconds = 20;
    bool overHidraw = false;
    for (const QString &argument : QApplication::arguments().mid(1)) {
        if (argument == QLatin1String("--hidraw"))
            overHidraw = true;
        else
            seconds = std::max(1, argument.toInt());
    }
    if (overHidraw && !VirtualHidraw::isAvailable()) {
        std::fprintf(stderr, "--hidraw needs umockdev-wrapper\n");
        return 2;
    }

    // The adapter goes on its bus or node before the link looks for it.
    std::unique_ptr<VirtualHidraw> hidraw;
    EmulatedBus bus;
    auto adapter = std::make_shared<EmulatedAdapter>();
    adapter->setUsbTiming(true);
    Adapter::BackendFactory backend;
    if (overHidraw) {
        hidraw = std::make_unique<VirtualHidraw>();
        hidraw->plug(adapter);
        backend = [] {
            return std::make_unique<HidapiBackend>();
        };
    } else {
        bus.plug(adapter);
        backend = [&bus] {
            return std::make_unique<EmulatedBackend>(bus);
        };
    }

    Adapter link(backend);
    // The program's own main window shows each record; the adapter's polling is held, so the polls
    // are the bench's, each timed from its post.
    MainWindow window(link);
    QElapsedTimer clock;
    clock.start();
    qint64 postedAt = -1;
    std::vector<double> latenciesMs;
    // Connected after the window's own connection: timed once the window has shown the record.
    QObject::connect(&link, &Adapter::recordChanged, [&] {
        if (postedAt >= 0) {
            latenciesMs.push_back(static_cast<double>(clock.nsecsElapsed() - postedAt) / 1e6);
            postedAt = -1;
        }
    });
    link.setPollingHeld(true);
    link.start();

    QTimer poller;
    poller.setInterval(200);
    QObject::connect(&poller, &QTimer::timeout, [&] {
        if (!link.connected())
            return;
        postedAt = clock.nsecsElapsed();
        link.poll();
    });

    // Measure from the first poll on, once the adapter has been found.
    QTimer::singleShot(500, [&] {
        poller.start();
        QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    });
    QApplication::exec();

    link.shutdown();
    if (latenciesMs.empty()) {
        std::fprintf(stderr, "no poll was answered\n");
        return 1;
    }

    const std::string path = overHidraw ? "hidraw via umockdev" : "emulated bus";
    tableRow("Poll post to end of Refresh, median / 95th percentile (" + path + ", " +
                 std::to_string(latenciesMs.size()) + " polls)",
             formatted("%.1f", percentile(latenciesMs, 0.5)) + " / " +
                 formatted("%.1f ms", percentile(latenciesMs, 0.95)),
             "link minimum 31 ms (31 reports, 1 per ms)");
    return 0;
}
