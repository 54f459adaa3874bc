// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Refresh per received record: a record like the last one, and one in which every
// field the window shows has changed (each list row, both edits, the four settings and all four line
// buttons with their glyphs).
#include "link/adapter.h"
#include "model/byte_span.h"
#include "sim/demo_adapter.h"
#include "sim/emulated_adapter.h"
#include "support/record_builders.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

#include <string>

using namespace vestra7;

namespace {

struct ShownWindow
{
    ShownWindow()
    {
        window.show();
        static_cast<void>(QTest::qWaitForWindowExposed(&window));
        window.setConnected(true);
    }

    Adapter link{nullptr};
    MainWindow window{link};
};

// Every shown field different from demoRecord()'s, the line states too.
DeviceRecord otherRecord()
{
    DeviceRecord record = initialAdapterRecord();
    for (int i = 0; i < kContactCount; ++i)
        record.contact[i] = makeParty("Contact " + std::to_string(i), "+1555" + std::to_string(1000 + i));
    for (int i = 0; i < kCallListCount; ++i)
        record.call_list[i] = makeParty("Caller " + std::to_string(i), "+1666" + std::to_string(1000 + i));
    record.subscriber[0] = makeParty("Someone else", "+100200300");
    record.stat[0] = 3;
    record.stat[1] = 3;
    record.mic_gain = 12;
    record.spk_gain = 50;
    record.auto_answer[0] = 30;
    record.auto_answer[1] = 0;
    return record;
}

// The record as the adapter holds it from now on; the write this posts goes nowhere, no worker runs.
void show(Adapter &adapter, const DeviceRecord &record)
{
    adapter.loadConfiguration(toByteArray(record.bytes()));
}

void RefreshUnchangedRecord(benchmark::State &state)
{
    ShownWindow shown;
    show(shown.link, demoRecord());
    shown.window.showRecord();
    for (auto _ : state)
        shown.window.showRecord();
    QCoreApplication::processEvents();
}

void RefreshEveryFieldChanged(benchmark::State &state)
{
    ShownWindow shown;
    const DeviceRecord records[2] = {demoRecord(), otherRecord()};
    std::size_t next = 0;
    for (auto _ : state) {
        show(shown.link, records[next]);
        next ^= 1u;
        shown.window.showRecord();
    }
    QCoreApplication::processEvents();
}

BENCHMARK(RefreshUnchangedRecord)->Unit(benchmark::kMicrosecond);
BENCHMARK(RefreshEveryFieldChanged)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
