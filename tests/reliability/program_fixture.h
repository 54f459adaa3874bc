// SPDX-License-Identifier: GPL-3.0-or-later
// The program over an emulated bus, with its HID handles tracked, for fault injection and races.
#pragma once

#include "tracking_backend.h"

#include "link/report_trace.h"

#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/program_test.h"

#include <memory>
#include <thread>

namespace vestra7 {

// Each run logs the reports both ways; a failed run keeps its log, under the test's working folder,
// and names it with the faults' seed, so that a failure seen once can be read afterwards.
class ProgramOnEmulatedBus : public ProgramTest
{
protected:
    ProgramOnEmulatedBus();

    // No handle may have been closed under a call.
    void TearDown() override;

    Adapter::BackendFactory backend() override;
    void plug() override { bus.plug(adapter); }

    // Takes the adapter out from a thread of its own, as the system reports a removal, and returns
    // once it is out.
    void unplugFromAnotherThread()
    {
        std::thread([this] { adapter->unplug(); }).join();
    }

    EmulatedBus bus;
    std::shared_ptr<HandleLedger> ledger = std::make_shared<HandleLedger>();
    // Off for a run so long that its log would fill the disk; set before startProgram().
    bool traceReports = true;

private:
    void openTrace();

    QString m_tracePath;
    std::shared_ptr<ReportTrace> m_trace;
};

} // namespace vestra7
