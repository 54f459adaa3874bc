// SPDX-License-Identifier: GPL-3.0-or-later
// HID access on Linux: hidapi over hidraw, and a udev monitor for devices coming and going.
#pragma once

#include "link/hid_backend.h"

#include <memory>
#include <vector>

namespace vestra7 {

class UdevMonitor;

// A device's instance is its hidraw node ("/dev/hidraw3"). Report lengths are not learnt from the
// device: 65 bytes both ways, report ID included, which is what the adapter uses. The udev monitor's
// "add" and "remove" events name the nodes that came and went.
class HidapiBackend final : public HidBackend
{
public:
    HidapiBackend();
    ~HidapiBackend() override;

    std::vector<HidDeviceInfo> scan() override;
    // Opens the node twice, one handle for the reading thread and one for writes, so that the two
    // threads never share a handle's state inside hidapi.
    Result<std::unique_ptr<HidConnection>> open(const QString &instance) override;
    // Create it, and call this, on the GUI thread.
    void watchChanges(std::function<void()> onChange) override;
    std::vector<HidDeviceEvent> takeEvents() override;
    QString lockScope() const override;

private:
    std::unique_ptr<UdevMonitor> m_monitor;
    std::vector<HidDeviceEvent> m_events; // GUI thread only
};

// The version of the hidapi library the program runs on.
QString hidapiVersion();

} // namespace vestra7
