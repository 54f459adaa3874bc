// SPDX-License-Identifier: GPL-3.0-or-later
// The program over an emulated bus, with its HID handles tracked, for fault injection and races.
#pragma once

#include "tracking_backend.h"

#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/program_test.h"

#include <memory>
#include <thread>

namespace vestra7 {

class ProgramOnEmulatedBus : public ProgramTest
{
protected:
    ProgramOnEmulatedBus() { adapter->setUsbTiming(true); }

    // No handle may have been closed under a call.
    void TearDown() override
    {
        EXPECT_EQ(ledger->closedDuringCall(), 0) << "a handle was closed while a call on it was under way";
        ProgramTest::TearDown();
    }

    Adapter::BackendFactory backend() override
    {
        return [this] {
            return std::make_unique<TrackingBackend>(std::make_unique<EmulatedBackend>(bus), ledger);
        };
    }
    void plug() override { bus.plug(adapter); }

    // Takes the adapter out from a thread of its own, as the system reports a removal, and returns
    // once it is out.
    void unplugFromAnotherThread()
    {
        std::thread([this] { adapter->unplug(); }).join();
    }

    EmulatedBus bus;
    std::shared_ptr<HandleLedger> ledger = std::make_shared<HandleLedger>();
};

} // namespace vestra7
