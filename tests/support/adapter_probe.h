// SPDX-License-Identifier: GPL-3.0-or-later
// What tests look at beneath an Adapter's own interface: its HID devices and its mailbox.
#pragma once

#include "link/adapter.h"
#include "link/hid_controller.h"

namespace vestra7 {

class AdapterProbe
{
public:
    static HidController *hidController(const Adapter &adapter) { return adapter.m_shared->controller.get(); }
    static HidDevice *claimedDevice(const Adapter &adapter) { return adapter.m_shared->claimedDevice.load(); }
    static const Mailbox &mailbox(const Adapter &adapter) { return adapter.m_shared->mailbox; }
};

} // namespace vestra7
