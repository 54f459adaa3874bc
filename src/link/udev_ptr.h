// SPDX-License-Identifier: GPL-3.0-or-later
// Owning pointers for libudev objects, released with their unref functions.
#pragma once

#include <libudev.h>

#include <memory>

namespace vestra7 {

template <typename T, T *(*Unref)(T *)> struct UdevUnref
{
    void operator()(T *object) const
    {
        if (object != nullptr)
            Unref(object);
    }
};

using UdevPtr = std::unique_ptr<udev, UdevUnref<udev, udev_unref>>;
using UdevMonitorPtr = std::unique_ptr<udev_monitor, UdevUnref<udev_monitor, udev_monitor_unref>>;
using UdevDevicePtr = std::unique_ptr<udev_device, UdevUnref<udev_device, udev_device_unref>>;

} // namespace vestra7
