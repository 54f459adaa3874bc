// SPDX-License-Identifier: GPL-3.0-or-later
// The HID access layer the link stands on: the list of present devices, their identity, claiming
// one, writing its output reports and reading its input reports on a thread of its own.
#pragma once

#include "link/hid_backend.h"
#include "link/report_reader.h"
#include "link/report_writer.h"

#include <QObject>

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace vestra7 {

class HidController;

class HidDevice final : public ReportWriter, private ReportSink
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
    // ReportSink: the reading thread's reports, on the GUI thread.
    void reportRead(std::uint8_t reportId, std::span<const std::uint8_t> data) override;

    struct Private;
    explicit HidDevice(std::unique_ptr<Private> d);
    std::unique_ptr<Private> d;
};

class HidController final : public QObject
{
    Q_OBJECT

public:
    // Posts itself one device-change notification, handled once the GUI event loop runs. Reports
    // that end a group as `groupEnd` says (ReportReader::GroupEnd) reach reportReceived() together,
    // in one pass of the GUI thread; without it every report goes over on its own.
    explicit HidController(std::unique_ptr<HidBackend> backend, ReportReader::GroupEnd groupEnd = nullptr,
                           QObject *parent = nullptr);
    ~HidController() override;

    // Offers every plugged-in device, in list order, until `offer` returns false; returns the number
    // offered. `offer` may spin the event loop: a device removed meanwhile is not offered.
    int offerDevices(const std::function<bool(HidDevice &, int index)> &offer);

    // Devices in the order first found; claimed devices stay listed after they are gone. A device
    // is gone once the backend announces it removed, even while a scan still lists its node, and
    // once a scan no longer lists it; a node listed with another identity (manufacturer, product,
    // serial number or version) than its device's is a new device.
    const std::vector<HidDevice *> &devices() const;

    // Stops every reading thread without waiting on the GUI thread, also one whose report waits
    // for it, and releases every handle, so that writes under way end at their next report; no
    // device is claimed afterwards. Called at exit, and by the destructor.
    void shutdown();

signals:
    // After a scan that found the set of devices changed, and after the initial one. A change that
    // arrives while a scan's receivers run (spinning the event loop in a message box, say) is never
    // handled inside it: one more scan follows once they have returned.
    void devicesChanged();
    // For every input report of a claimed device, one report at a time and in order, on the GUI
    // thread, the reading thread waiting until the receivers return: the report ID, then the bytes
    // after it.
    void reportReceived(HidDevice *device, std::uint8_t reportId, std::span<const std::uint8_t> data);

private:
    friend class HidDevice;
    void handleDeviceChange();
    void joinEndedReaders();
    // The steps of a device change; each says whether it changed the list. Removals the system
    // announced; the scan without the nodes on their way out; the listed devices still found, or
    // claimed, into `kept`; and the devices found that are new.
    bool takeRemovals();
    std::vector<HidDeviceInfo> scanPresent();
    bool keepListed(const std::vector<HidDeviceInfo> &found, std::vector<HidDevice *> &kept);
    bool addNew(const std::vector<HidDeviceInfo> &found, std::vector<HidDevice *> &kept);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vestra7
