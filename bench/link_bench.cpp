// Measures the link while it polls the emulated adapter at full-speed USB timing: the CPU the
// program spends per second, and the time from a poll's post to the end of its refresh.
#include "link/device_link.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

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
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

    EmulatedBus bus;
    auto adapter = std::make_shared<EmulatedAdapter>();
    adapter->setUsbTiming(true);
    bus.plug(adapter);

    DeviceLink link([&bus] { return std::make_unique<EmulatedBackend>(bus); });
    QElapsedTimer clock;
    clock.start();
    qint64 postedAt = -1;
    std::vector<double> latenciesMs;
    link.setRefresh([&] {
        if (postedAt >= 0) {
            latenciesMs.push_back(static_cast<double>(clock.nsecsElapsed() - postedAt) / 1e6);
            postedAt = -1;
        }
    });
    link.start_device_link();

    QTimer poller;
    poller.setInterval(200);
    QObject::connect(&poller, &QTimer::timeout, [&] {
        if (!link.connected())
            return;
        postedAt = clock.nsecsElapsed();
        link.poll();
    });

    // Measure from the first poll on, once the adapter has been found.
    double cpuAtStart = 0;
    qint64 wallAtStart = 0;
    QTimer::singleShot(300, [&] {
        cpuAtStart = cpuSeconds();
        wallAtStart = clock.nsecsElapsed();
        poller.start();
        QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    });
    QCoreApplication::exec();

    const double wall = static_cast<double>(clock.nsecsElapsed() - wallAtStart) / 1e9;
    const double cpu = cpuSeconds() - cpuAtStart;
    link.shutdown();

    std::printf("link while polling, %d s at full-speed USB timing (emulated adapter included)\n", seconds);
    std::printf("  %-42s %8.3f %%\n", "CPU time per second of wall time", 100.0 * cpu / wall);
    std::printf("  %-42s %8zu\n", "polls answered", latenciesMs.size());
    std::printf("  %-42s %8.1f ms\n", "poll post to end of refresh, median", percentile(latenciesMs, 0.5));
    std::printf("  %-42s %8.1f ms\n", "poll post to end of refresh, 95th pct", percentile(latenciesMs, 0.95));
    std::printf("  %-42s %8.1f ms\n", "the link's own minimum (31 reports)", 31.0);
    return 0;
}
