// SPDX-License-Identifier: GPL-3.0-or-later
// The platform side of HID access: scanning, opening, reading and writing devices, and hearing of
// device changes. The controller's rules stay the same whatever backend sits under it.
#pragma once

#include "model/result.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace vestra7 {

// What a scan learns of one present HID interface, without opening it.
struct HidDeviceInfo
{
    QString instance; // the system's device instance: stable while the device stays plugged in
    QString manufacturer;
    QString product;
    QString serialNumber;
    std::uint16_t versionNumber = 0;       // device release number: high byte major, low byte minor
    std::uint16_t inputReportLength = 65;  // report ID included
    std::uint16_t outputReportLength = 65; // report ID included
    // Where the device hangs on the USB bus ("1-1.2"): the same for any device plugged into that
    // port, across a restart of the device. Empty where the platform does not say.
    QString port = {};
};

// What the system announced of one device instance, on a platform that names it: it was added, or
// it is being removed.
struct HidDeviceEvent
{
    enum class Kind { Added, Removed };
    Kind kind = Kind::Added;
    QString instance;
};

// Why a call on an open device failed.
struct HidIoFailure
{
    bool deviceGone = false; // the device has been removed: a normal event, not an error for the user
    QString message = {};    // the system's words for it
};

// The bytes a call on an open device moved, or why it failed.
using HidIoResult = Result<std::size_t, HidIoFailure>;

// One open device handle. One thread may read while another writes; the handle is destroyed only
// when neither is inside a call.
class HidConnection
{
public:
    virtual ~HidConnection() = default;

    // Writes one output report, report ID first, and says how many bytes went.
    virtual HidIoResult write(std::span<const std::uint8_t> report) = 0;
    // Reads one input report into `buffer`, report ID first (0 for unnumbered reports): the bytes
    // read, 0 when nothing came within `timeoutMs`. A failure means the device is gone.
    virtual HidIoResult read(std::span<std::uint8_t> buffer, int timeoutMs) = 0;
};

class HidBackend
{
public:
    virtual ~HidBackend() = default;

    // Every present HID interface, in the order the platform lists them.
    virtual std::vector<HidDeviceInfo> scan() = 0;
    // Opens the device for reading and writing; a failure carries the system's reason.
    virtual Result<std::unique_ptr<HidConnection>> open(const QString &instance) = 0;
    // Installs the function to call, on the GUI thread, whenever the set of devices may have changed.
    virtual void watchChanges(std::function<void()> onChange) = 0;
    // What the system announced since the last call, oldest first; taken on the GUI thread right
    // before each scan. A device announced removed may still be listed by a scan for a moment; it
    // is gone all the same. A backend whose platform names no device in its notifications returns
    // nothing.
    virtual std::vector<HidDeviceEvent> takeEvents() { return {}; }
    // Where the adapters' locks are taken (see AdapterLock), shared by every process that can reach
    // these devices; empty for devices only this process can reach, which need no lock.
    virtual QString lockScope() const { return {}; }
};

} // namespace vestra7
