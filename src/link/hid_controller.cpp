// SPDX-License-Identifier: GPL-3.0-or-later
// The HID access layer's platform-neutral part: the device list and its order rules, claiming,
// writing and the reading threads. The backend below does the platform's part.
#include "link/hid_controller.h"

#include "link/report_reader.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QScopedValueRollback>

#include <algorithm>
#include <mutex>
#include <utility>

namespace vestra7 {

struct HidDevice::Private
{
    HidController *controller = nullptr;
    HidBackend *backend = nullptr;
    HidDeviceInfo info;
    QString accessError; // GUI thread only

    // Read by the writing and reading threads, changed on the GUI thread.
    mutable std::mutex mutex;
    bool pluggedIn = true;
    bool claimed = false;
    // Shared with the threads inside a call, so that the handle closes only when the last one is out.
    std::shared_ptr<HidConnection> connection;

    std::unique_ptr<ReportReader> reader;

    std::shared_ptr<HidConnection> currentConnection() const
    {
        const std::lock_guard lock(mutex);
        return connection;
    }

    // GUI thread. The reports read before the removal are handed on first, before anyone hears of
    // it: a boot loader's last reply comes right before it restarts.
    void markUnplugged()
    {
        {
            const std::lock_guard lock(mutex);
            pluggedIn = false;
        }
        releaseConnection();
        if (reader)
            reader->finish();
    }

    // Closes the handle here unless a reading or writing thread is still inside a call on it; any
    // later write reports nothing written.
    void releaseConnection()
    {
        std::shared_ptr<HidConnection> released;
        {
            const std::lock_guard lock(mutex);
            released = std::move(connection);
        }
        released.reset();
    }
};

struct HidController::Private
{
    std::unique_ptr<HidBackend> backend;
    ReportReader::GroupEnd groupEnd = nullptr;
    std::vector<std::unique_ptr<HidDevice>> owned;
    std::vector<HidDevice *> list; // in the order first found
    // Dropped while an enumeration was running: kept until it ends, so it never meets a freed device.
    std::vector<std::unique_ptr<HidDevice>> retired;
    // Instances the system announced removed that the last scan still listed: a name on its way
    // out is not taken up again until it has been announced added or a scan no longer lists it.
    std::vector<QString> withdrawn;
    bool initialPending = true;
    bool handling = false;
    bool rescanRequested = false;
    int enumerating = 0;
    bool shutDown = false;
};

// --- HidDevice ---

HidDevice::HidDevice(std::unique_ptr<Private> p)
    : d(std::move(p))
{
}

HidDevice::~HidDevice()
{
    // The reading thread calls back into this object: end it before anything else goes.
    d->reader.reset();
}

const QString &HidDevice::instance() const
{
    return d->info.instance;
}

QString HidDevice::manufacturer() const
{
    return d->info.manufacturer;
}

QString HidDevice::product() const
{
    return d->info.product;
}

QString HidDevice::serialNumber() const
{
    return d->info.serialNumber;
}

QString HidDevice::port() const
{
    return d->info.port;
}

std::uint16_t HidDevice::versionNumber() const
{
    return d->info.versionNumber;
}

std::uint16_t HidDevice::inputReportLength() const
{
    return d->info.inputReportLength;
}

bool HidDevice::isPluggedIn() const
{
    const std::lock_guard lock(d->mutex);
    return d->pluggedIn;
}

bool HidDevice::isClaimed() const
{
    const std::lock_guard lock(d->mutex);
    return d->claimed;
}

Result<void> HidDevice::claim()
{
    if (!isPluggedIn() || d->controller->d->shutDown)
        return Error{QCoreApplication::translate("HidDevice", "The device is no longer there.")};
    if (isClaimed())
        return {};
    Result<std::unique_ptr<HidConnection>> opened = d->backend->open(d->info.instance);
    if (!opened) {
        d->accessError = opened.error().message.isEmpty()
                             ? QCoreApplication::translate("HidDevice", "The device cannot be opened.")
                             : opened.error().message;
        return Error{d->accessError};
    }
    d->accessError.clear();
    {
        const std::lock_guard lock(d->mutex);
        d->connection = std::move(*opened);
        d->claimed = true;
    }
    d->reader =
        std::make_unique<ReportReader>([p = d.get()] { return p->currentConnection(); }, d->info.inputReportLength,
                                       static_cast<ReportSink &>(*this), d->controller->d->groupEnd);
    return {};
}

void HidDevice::reportRead(std::uint8_t reportId, std::span<const std::uint8_t> data)
{
    emit d->controller->reportReceived(this, reportId, data);
}

QString HidDevice::accessError() const
{
    return d->accessError;
}

std::size_t HidDevice::outputReportLength()
{
    return d->info.outputReportLength;
}

Result<std::size_t> HidDevice::writeReport(std::span<const std::uint8_t> report)
{
    const std::shared_ptr<HidConnection> connection = d->currentConnection();
    if (!connection)
        return std::size_t{0};
    const HidIoResult written = connection->write(report);
    if (written)
        return std::min(*written, report.size());
    // A removal is not an error: the device simply takes no more reports.
    if (written.error().deviceGone || !isPluggedIn())
        return std::size_t{0};
    return Error{
        QCoreApplication::translate("HidDevice", "Writing to the device failed: %1").arg(written.error().message)};
}

// --- HidController ---

HidController::HidController(std::unique_ptr<HidBackend> backend, ReportReader::GroupEnd groupEnd, QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    d->backend = std::move(backend);
    d->groupEnd = groupEnd;
    d->backend->watchChanges([this] { handleDeviceChange(); });
    // The first scan runs once the event loop does, after start-up has installed the handlers.
    QMetaObject::invokeMethod(this, &HidController::handleDeviceChange, Qt::QueuedConnection);
}

HidController::~HidController()
{
    shutdown();
    d->list.clear();
    d->retired.clear();
    d->owned.clear();
}

int HidController::offerDevices(const std::function<bool(HidDevice &, int index)> &offer)
{
    ++d->enumerating;
    // The offer may spin the event loop, and a device change may then edit the list under us.
    const std::vector<HidDevice *> snapshot = d->list;
    int offered = 0;
    for (HidDevice *device : snapshot) {
        const auto listed = std::find(d->list.begin(), d->list.end(), device);
        if (listed == d->list.end() || !device->isPluggedIn())
            continue;
        ++offered;
        if (!offer(*device, static_cast<int>(listed - d->list.begin())))
            break;
    }
    if (--d->enumerating == 0)
        d->retired.clear();
    return offered;
}

const std::vector<HidDevice *> &HidController::devices() const
{
    return d->list;
}

void HidController::shutdown()
{
    d->shutDown = true;
    // All are told first, so that their last reads run out side by side.
    for (const auto *devices : {&d->owned, &d->retired})
        for (const auto &device : *devices)
            if (device->d->reader)
                device->d->reader->requestStop();
    for (const auto *devices : {&d->owned, &d->retired})
        for (const auto &device : *devices)
            if (device->d->reader)
                device->d->reader->stop();
    // A long message being written ends at its next report instead of holding the exit up.
    for (const auto *devices : {&d->owned, &d->retired})
        for (const auto &device : *devices)
            device->d->releaseConnection();
}

void HidController::joinEndedReaders()
{
    // A device found gone stays listed once claimed, but its reading thread ends by itself; joining
    // it gives back the thread's stack, which every removal would otherwise leave reserved for the
    // rest of the run. Only a thread that has ended is joined, so the GUI thread never waits here,
    // and never one that shutdown() asked to end, whose last report may still be in a handler
    // further up this thread's stack.
    if (d->shutDown)
        return;
    for (const auto &device : d->owned) {
        std::unique_ptr<ReportReader> &reader = device->d->reader;
        if (reader && !device->isPluggedIn() && reader->hasFinished())
            reader.reset();
    }
}

void HidController::handleDeviceChange()
{
    // A handler that spins the event loop must not see the list change under it; the notification
    // is not lost either: one more scan follows once this one is done.
    if (d->handling) {
        d->rescanRequested = true;
        return;
    }
    const QScopedValueRollback handling(d->handling, true);
    joinEndedReaders();

    bool changed = std::exchange(d->initialPending, false);
    changed = takeRemovals() || changed;
    const std::vector<HidDeviceInfo> found = scanPresent();
    std::vector<HidDevice *> kept;
    changed = keepListed(found, kept) || changed;
    changed = addNew(found, kept) || changed;
    d->list = std::move(kept);

    if (changed)
        emit devicesChanged();

    if (std::exchange(d->rescanRequested, false))
        QMetaObject::invokeMethod(this, &HidController::handleDeviceChange, Qt::QueuedConnection);
}

bool HidController::takeRemovals()
{
    // A device announced removed is gone at once, whatever a scan still lists.
    bool changed = false;
    for (const HidDeviceEvent &event : d->backend->takeEvents()) {
        const auto withdrawn = std::find(d->withdrawn.begin(), d->withdrawn.end(), event.instance);
        if (event.kind == HidDeviceEvent::Kind::Added) {
            if (withdrawn != d->withdrawn.end())
                d->withdrawn.erase(withdrawn);
            continue;
        }
        if (withdrawn == d->withdrawn.end())
            d->withdrawn.push_back(event.instance);
        for (HidDevice *device : d->list) {
            if (device->instance() == event.instance && device->isPluggedIn()) {
                device->d->markUnplugged();
                changed = true;
            }
        }
    }
    return changed;
}

std::vector<HidDeviceInfo> HidController::scanPresent()
{
    std::vector<HidDeviceInfo> found = d->backend->scan();
    const auto listedIn = [](const std::vector<HidDeviceInfo> &infos, const QString &instance) {
        return std::any_of(infos.begin(), infos.end(),
                           [&](const HidDeviceInfo &info) { return info.instance == instance; });
    };
    std::erase_if(d->withdrawn, [&](const QString &instance) { return !listedIn(found, instance); });
    std::erase_if(found, [&](const HidDeviceInfo &info) {
        return std::find(d->withdrawn.begin(), d->withdrawn.end(), info.instance) != d->withdrawn.end();
    });
    return found;
}

bool HidController::keepListed(const std::vector<HidDeviceInfo> &found, std::vector<HidDevice *> &kept)
{
    // The same node with another identity is another device: a restart under the same name, say,
    // whose removal went unheard.
    const auto isFound = [&found](const HidDevice &device) {
        const HidDeviceInfo &known = device.d->info;
        return std::any_of(found.begin(), found.end(), [&](const HidDeviceInfo &info) {
            return info.instance == known.instance && info.manufacturer == known.manufacturer &&
                   info.product == known.product && info.serialNumber == known.serialNumber &&
                   info.port == known.port && info.versionNumber == known.versionNumber;
        });
    };
    bool changed = false;
    // All are marked first: the last reports of a device marked gone run handlers, which may look
    // at the list, and must find every device in it still alive.
    for (HidDevice *device : d->list) {
        if (device->isPluggedIn() && !isFound(*device)) {
            device->d->markUnplugged();
            changed = true;
        }
    }
    for (HidDevice *device : d->list) {
        if (device->isPluggedIn()) {
            kept.push_back(device);
            continue;
        }
        if (device->isClaimed()) {
            kept.push_back(device);
            continue;
        }
        const auto owner =
            std::find_if(d->owned.begin(), d->owned.end(), [device](const auto &p) { return p.get() == device; });
        if (d->enumerating > 0)
            d->retired.push_back(std::move(*owner));
        d->owned.erase(owner);
        changed = true;
    }
    return changed;
}

bool HidController::addNew(const std::vector<HidDeviceInfo> &found, std::vector<HidDevice *> &kept)
{
    bool changed = false;
    for (const HidDeviceInfo &info : found) {
        // Matched only against devices still plugged in: a node name the system hands out again
        // belongs to a new device.
        const bool listed = std::any_of(kept.begin(), kept.end(), [&info](HidDevice *device) {
            return device->instance() == info.instance && device->isPluggedIn();
        });
        if (listed)
            continue;
        auto p = std::make_unique<HidDevice::Private>();
        p->controller = this;
        p->backend = d->backend.get();
        p->info = info;
        d->owned.push_back(std::unique_ptr<HidDevice>(new HidDevice(std::move(p))));
        kept.push_back(d->owned.back().get());
        changed = true;
    }
    return changed;
}

} // namespace vestra7
