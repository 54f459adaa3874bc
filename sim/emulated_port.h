// SPDX-License-Identifier: GPL-3.0-or-later
// Where an emulated HID device can be plugged in: the emulated bus, or a bridge to a virtual node.
#pragma once

#include <QString>

#include <chrono>
#include <memory>

namespace vestra7 {

class EmulatedHidDevice;

class EmulatedPort
{
public:
    virtual ~EmulatedPort() = default;

    // Plugs the device in under a new instance name, as the system names a device that arrives,
    // and returns that name. Any thread.
    virtual QString plug(const std::shared_ptr<EmulatedHidDevice> &device) = 0;
    // Takes the device out; its instance is gone for good. Any thread.
    virtual void unplug(EmulatedHidDevice &device) = 0;
    // Plugs the device in once `gap` has passed, as plug() would then; returns at once. Any thread.
    virtual void plugAfter(const std::shared_ptr<EmulatedHidDevice> &device, std::chrono::milliseconds gap) = 0;
};

} // namespace vestra7
