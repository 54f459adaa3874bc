// SPDX-License-Identifier: GPL-3.0-or-later
// The HID access layer the link stands on: the list of present devices, their identity, claiming
// one, writing its output reports and reading its input reports on a thread of its own.
#pragma once

#include "link/hid_backend.h"
#include "link/report_writer.h"

#include <QObject>

#include <functional>
#include <memory>
#include <span>
#include <vector>

class HidController;

class HidDevice final : public ReportWriter
{
public:
    ~HidDevice() override;

    const QString &instance() const;
    QString manufacturer() const;
    QString product() const;
    QString serialNumber() const;
    QString port() const;
    std::uint16_t versionNumber() const;
    // Known from discovery and still known after the device is gone.
    std::uint16_t inputReportLength() const;

    bool isPluggedIn() const;
    bool isClaimed() const;

    // Claims the device, unless it is claimed already: opens it for reading and writing and starts
    // its reading thread. Fails when it is gone or cannot be opened. GUI thread only: the reading
    // thread hands its reports to the thread that claimed.
    Result<void> claim();
    // Why the last try to open the device failed; empty once it has opened. Kept for the list of
    // adapters, which names those this user may not open.
    QString accessError() const;

    // ReportWriter: may be called from any one thread at a time beside the reading thread. Once the
    // device is gone a write reports no bytes written, and never touches a closed handle.
    std::size_t outputReportLength() override;
    Result<std::size_t> writeReport(std::span<const std::uint8_t> report) override;

private:
    friend class HidController;
    struct Private;
    explicit HidDevice(std::unique_ptr<Private> d);
    std::unique_ptr<Private> d;
};

class HidController final : public QObject
{
    Q_OBJECT

public:
    // Posts itself one device-change notification, handled once the GUI event loop runs.
    explicit HidController(std::unique_ptr<HidBackend> backend, QObject *parent = nullptr);
    ~HidController() override;

    // Called on the GUI thread after a scan that found the set of devices changed, and after the
    // initial one. A change that arrives while a scan's handler runs (spinning the event loop in a
    // message box, say) is never handled inside it: one more scan follows once it has returned.
    std::function<void(HidController &)> devicesChanged;
    // Called on the GUI thread for every input report of a claimed device, one report at a time and
    // in order, the reading thread waiting until it returns: the report ID, then the bytes after it.
    std::function<void(HidDevice &, std::uint8_t reportId, std::span<const std::uint8_t> data)> reportReceived;
    // Called on a reading thread for each input report (the bytes after the report ID): true when the
    // report ends a group of reports that belong together, such as the frames of one message. A group
    // reaches reportReceived in one pass of the GUI thread, report by report, when its last report has
    // come. Unset, every report is handed over on its own. Set it before a device is claimed.
    std::function<bool(std::span<const std::uint8_t> data)> endsReportGroup;
    // Called by Enumerate for each plugged-in device in list order; return false to stop.
    std::function<bool(HidDevice &, int index)> deviceOffered;

    // Offers every plugged-in device to deviceOffered; returns the number offered.
    int offerDevices();

    // Devices in the order first found; claimed devices stay listed after they are gone. A device
    // is gone once the backend announces it removed, even while a scan still lists its node, and
    // once a scan no longer lists it; a node listed with another identity (manufacturer, product,
    // serial number or version) than its device's is a new device.
    const std::vector<HidDevice *> &devices() const;

    // Stops every reading thread without waiting on the GUI thread, also one whose report waits
    // for it, and releases every handle, so that writes under way end at their next report; no
    // device is claimed afterwards. Called at exit, and by the destructor.
    void shutdown();

private:
    friend class HidDevice;
    void handleDeviceChange();
    void joinEndedReaders();

    struct Private;
    std::unique_ptr<Private> d;
};
