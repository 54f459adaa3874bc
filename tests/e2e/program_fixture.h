// SPDX-License-Identifier: GPL-3.0-or-later
// The program over the real Linux HID path: hidapi and the udev monitor, with the emulated adapter
// behind a virtual hidraw node at full-speed USB timing.
#pragma once

#include "support/program_test.h"
#include "support/virtual_hidraw.h"

#include "link/hidapi_backend.h"

namespace vestra7 {

class ProgramOnHidraw : public ProgramTest
{
protected:
    void SetUp() override
    {
        if (!VirtualHidraw::isAvailable())
            GTEST_SKIP() << "runs under umockdev-wrapper";
        ASSERT_TRUE(folder.isValid());
        hidraw = std::make_unique<VirtualHidraw>();
        adapter->setUsbTiming(true);
    }

    // The program lets go of the nodes before they go.
    void TearDown() override
    {
        ProgramTest::TearDown();
        hidraw.reset();
    }

    Adapter::BackendFactory backend() override
    {
        return [] {
            return std::make_unique<HidapiBackend>();
        };
    }
    void plug() override { hidraw->plug(adapter); }

    std::unique_ptr<VirtualHidraw> hidraw;
};

} // namespace vestra7
