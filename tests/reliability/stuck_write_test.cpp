// SPDX-License-Identifier: GPL-3.0-or-later
// A link destroyed while the system holds one of its writes: the worker thread that is left behind
// must come out of the write onto objects that still exist.
#include "tracking_backend.h"

#include "link/adapter.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/gui_wait.h"
#include "support/sanitizers.h"

#include <QDir>

#include <gtest/gtest.h>

#include <future>

namespace vestra7 {

namespace {

qsizetype threadCount()
{
    return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
}

TEST(StuckWrite, AWorkerLeftInAWriteAtExitComesOutOntoLiveObjects)
{
    if (kUnderThreadSanitizer)
        GTEST_SKIP() << "the worker is left unjoined on purpose, which ThreadSanitizer reports as a leak";
    EmulatedBus bus;
    auto adapter = std::make_shared<EmulatedAdapter>();
    auto ledger = std::make_shared<HandleLedger>();
    bus.plug(adapter);

    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> held{false};
    // The system keeps the first report of the next record write until the test lets it go.
    ledger->armWrite(0, [&held, released] {
        held = true;
        released.wait();
    });

    qsizetype threadsWithLink = 0;
    {
        Adapter link([&] { return std::make_unique<TrackingBackend>(std::make_unique<EmulatedBackend>(bus), ledger); });
        link.start();
        ASSERT_TRUE(waitUntil([&] { return link.connected(); }));
        link.setActiveLine(0); // a record write
        ASSERT_TRUE(waitUntil([&] { return held.load(); }));
        EXPECT_FALSE(link.shutdown()) << "the worker cannot end inside the held write";
        threadsWithLink = threadCount();
    }
    // The link is gone. The write returns now, and the worker finishes its message and ends.
    release.set_value();
    EXPECT_TRUE(waitUntil([&] { return threadCount() < threadsWithLink; })) << "the worker ended";
}

} // namespace

} // namespace vestra7
