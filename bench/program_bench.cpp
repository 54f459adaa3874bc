// SPDX-License-Identifier: GPL-3.0-or-later
// The program as users run it, measured from outside: it runs as a child process on a virtual hidraw
// node whose emulated adapter (USB timing on) lives here, so what the child spends is the program's,
// with umockdev's emulation of each hidraw call, which runs in the calling thread. Run under
// umockdev-wrapper, whose preload the child inherits.
//
// The demo program, which emulates the adapter in its own process, is measured the same way.
//
//   program_bench <program> <demo program> [seconds]
#include "bench_table.h"

#include "sim/emulated_adapter.h"
#include "support/virtual_hidraw.h"

#include "link/commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <sys/resource.h>

#include <algorithm>
#include <functional>
#include <thread>

using namespace vestra7;

namespace {

using namespace std::chrono_literals;

int pollsIn(const AdapterState &state)
{
    return static_cast<int>(std::count_if(state.received.begin(), state.received.end(),
                                          [](const ReceivedMessage &m) { return m.cmd == CMD_POLL; }));
}

// CPU time of every thread of the process so far, from the scheduler's own nanosecond counts.
double threadCpuSeconds(qint64 pid)
{
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (schedstat.open(QIODevice::ReadOnly))
            total += schedstat.readAll().split(' ').value(0).toDouble() / 1e9;
    }
    return total;
}

// Peak resident memory in KiB, from the kernel's high-water mark.
long peakResidentKib(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

double ownCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU of a child over `seconds` once it has settled, and its peak resident memory.
struct ChildFigures
{
    double cpuPercent = 0;
    double wallSeconds = 0;
    long peakKib = -1;
};

ChildFigures measure(QProcess &child, int seconds, const std::function<void()> &beforeWindow,
                     const std::function<void()> &afterWindow)
{
    // Settled: the window has been drawn and a few records shown.
    std::this_thread::sleep_for(2s);
    const qint64 pid = child.processId();
    const double cpuBefore = threadCpuSeconds(pid);
    beforeWindow();
    QElapsedTimer clock;
    clock.start();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    ChildFigures figures;
    figures.wallSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    figures.cpuPercent = 100.0 * (threadCpuSeconds(pid) - cpuBefore) / figures.wallSeconds;
    afterWindow();
    figures.peakKib = peakResidentKib(pid);
    return figures;
}

bool endsCleanly(QProcess &child)
{
    child.terminate();
    return child.waitForFinished(10000) && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
}

QProcessEnvironment childEnvironment(bool withPreload)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!withPreload)
        environment.remove(QStringLiteral("LD_PRELOAD"));
    return environment;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3 || !VirtualHidraw::isAvailable()) {
        std::fprintf(stderr, "usage, under umockdev-wrapper: %s <program> <demo program> [seconds]\n", argv[0]);
        return 2;
    }
    const int seconds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20;
    int status = 0;

    // The program on a virtual node, the adapter here.
    {
        VirtualHidraw hidraw;
        auto adapter = std::make_shared<EmulatedAdapter>();
        adapter->setUsbTiming(true);
        hidraw.plug(adapter);

        QProcess program;
        program.setProcessEnvironment(childEnvironment(true));
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        program.start(QString::fromLocal8Bit(argv[1]), {});
        if (!program.waitForStarted() ||
            !adapter->waitFor([](const AdapterState &s) { return pollsIn(s) >= 1; }, 30s)) {
            std::fprintf(stderr, "the program did not poll the adapter\n");
            return 1;
        }
        const double startupMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;

        double ownCpuBefore = 0;
        double ownCpu = 0;
        int pollsBefore = 0;
        int polls = 0;
        const ChildFigures figures = measure(
            program, seconds,
            [&] {
                ownCpuBefore = ownCpuSeconds();
                pollsBefore = pollsIn(adapter->state());
            },
            [&] {
                ownCpu = ownCpuSeconds() - ownCpuBefore;
                polls = pollsIn(adapter->state()) - pollsBefore;
            });
        if (!endsCleanly(program)) {
            std::fprintf(stderr, "the program did not end cleanly when asked to\n");
            status = 1;
        }

        tableRow("Start-up: program started to its first poll written", formatted("%.0f ms", startupMs), "");
        tableRow("CPU while connected and polling: the program's process, over hidraw via umockdev (" +
                     std::to_string(polls) + " polls in " + std::to_string(seconds) + " s)",
                 formatted("%.2f %% of one core", figures.cpuPercent), "under 1 %");
        tableRow("CPU meanwhile of the emulated adapter and umockdev's testbed, outside the program",
                 formatted("%.2f %% of one core", 100.0 * ownCpu / figures.wallSeconds), "not the program's");
        tableRow("Peak resident memory of the program",
                 formatted("%.1f MiB", static_cast<double>(figures.peakKib) / 1024.0), "");
    }

    // The demo: the same program with the adapter emulated in its own process, reports from memory.
    {
        QProcess demo;
        demo.setProcessEnvironment(childEnvironment(false));
        demo.setStandardOutputFile(QProcess::nullDevice());
        demo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        demo.start(QString::fromLocal8Bit(argv[2]), {});
        if (!demo.waitForStarted()) {
            std::fprintf(stderr, "the demo did not start\n");
            return 1;
        }
        const ChildFigures figures = measure(
            demo, seconds, [] {}, [] {});
        if (!endsCleanly(demo))
            status = 1;
        tableRow("CPU while connected and polling: the demo's process, program and emulated adapter together",
                 formatted("%.2f %% of one core", figures.cpuPercent), "under 1 %");
    }
    return status;
}
