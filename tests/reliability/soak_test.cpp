// SPDX-License-Identifier: GPL-3.0-or-later
// Long use, compressed: the adapter unplugged and plugged in again many times while the program
// polls, and an hour's worth of polls with an edit now and then, each poll going out as soon as the
// last record is shown. Resident memory must stay flat, and the main window connected at the end.
//
// Shortened by default (40 cycles, 1500 polls); with VESTRA7_SOAK_FULL=1 it runs 200 re-plug cycles and the 18000 polls
// that an hour of polling every 200 ms makes.
#include "edit_driver.h"
#include "program_fixture.h"

#include "link/adapter.h"
#include "support/gui_wait.h"

#include <QCoreApplication>

#include <fstream>
#include <iostream>
#include <unistd.h>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Growth that a run may show without a leak behind it: the allocator keeps some of what it was given,
// some pages of libraries are touched late, and a new allocation arena reserves 64 MiB of address
// space. A thread never joined keeps its 8 MiB stack reserved, and the pages it used resident.
constexpr long kAllowedResidentGrowthKiB = 2 * 1024;
constexpr long kAllowedVirtualGrowthKiB = 128 * 1024;

bool fullRun()
{
    return qEnvironmentVariableIntValue("VESTRA7_SOAK_FULL") != 0;
}

struct Memory
{
    long virtualKiB = 0;
    long residentKiB = 0;
};

Memory memoryNow()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    const long pageKiB = sysconf(_SC_PAGESIZE) / 1024;
    return {size * pageKiB, resident * pageKiB};
}

class Soak : public ProgramOnEmulatedBus
{
protected:
    // An hour of polls would log a hundred megabytes of reports.
    Soak() { traceReports = false; }

    void report(const char *run, Memory start, Memory end)
    {
        std::cout << run << ": resident memory " << start.residentKiB << " KiB at the start, " << end.residentKiB
                  << " KiB at the end; address space " << start.virtualKiB << " KiB, then " << end.virtualKiB << " KiB"
                  << std::endl;
        RecordProperty("residentStartKiB", static_cast<int>(start.residentKiB));
        RecordProperty("residentEndKiB", static_cast<int>(end.residentKiB));
        // The sanitizers hold freed memory back on purpose; there the figures say nothing.
        if (!kSanitized) {
            EXPECT_LT(end.residentKiB - start.residentKiB, kAllowedResidentGrowthKiB);
            EXPECT_LT(end.virtualKiB - start.virtualKiB, kAllowedVirtualGrowthKiB);
        }
    }
};

TEST_F(Soak, ReplugCyclesWhilePolling)
{
    const int cycles = fullRun() ? 200 : 40;
    startConnected();
    Memory start;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        // Measured once the first cycles have set up what every later one reuses.
        if (cycle == 2)
            start = memoryNow();
        unplugFromAnotherThread();
        ASSERT_TRUE(waitUntil([this] { return !connectedOnScreen(); })) << "cycle " << cycle;
        const int before = refreshes;
        bus.plug(adapter);
        ASSERT_TRUE(waitUntil([&] { return connectedOnScreen() && refreshes > before; })) << "cycle " << cycle;
        adapter->clearReceived();
    }
    report("re-plug cycles", start, memoryNow());
    EXPECT_TRUE(connectedOnScreen());
    EXPECT_EQ(ledger->openHandles(), 1) << "every removed adapter's handle is closed";
}

TEST_F(Soak, AnHourOfPollingCompressed)
{
    const int polls = fullRun() ? 18000 : 1500;
    // As fast as the link allows.
    adapter->setUsbTiming(false);
    startConnected();
    EditDriver driver(app->mainWindow(), app->adapter(), 11);
    const int first = refreshes;
    Memory start;
    afterRefresh = [&] {
        const int done = refreshes - first;
        if (done == polls / 10)
            start = memoryNow();
        if (done % 1000 == 0)
            adapter->clearReceived();
        // The next poll once this refresh is over; every 250th time an edit goes first.
        QMetaObject::invokeMethod(
            &app->mainWindow(),
            [this, &driver, done] {
                if (done % 250 == 125)
                    driver.editOnce();
                app->adapter().poll();
            },
            Qt::QueuedConnection);
    };
    app->adapter().poll();
    ASSERT_TRUE(waitUntil([&] { return refreshes - first >= polls; }, std::chrono::milliseconds(polls * 100)))
        << refreshes - first << " of " << polls;
    afterRefresh = nullptr;
    report("compressed hour of polling", start, memoryNow());
    EXPECT_TRUE(connectedOnScreen());
    EXPECT_TRUE(waitUntil([&] {
        return adapterNow([&](const AdapterState &s) { return driver.holdsEveryEdit(s.record); });
    })) << driver.missingEdits(adapter->state().record);
}

} // namespace

} // namespace vestra7
