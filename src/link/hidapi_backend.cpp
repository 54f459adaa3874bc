// SPDX-License-Identifier: GPL-3.0-or-later
// hidapi's hidraw backend behind the HID access interface.
#include "link/hidapi_backend.h"

#include "link/adapter_lock.h"
#include "link/udev_monitor.h"
#include "link/udev_ptr.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <utility>

namespace vestra7 {

namespace {

QString fromWide(const wchar_t *text)
{
    return text != nullptr ? QString::fromWCharArray(text) : QString();
}

// Errors with which hidraw tells that the device has been unplugged.
bool meansGone(int error)
{
    return error == ENODEV || error == ENXIO || error == ESHUTDOWN;
}

class HidapiConnection final : public HidConnection
{
public:
    HidapiConnection(hid_device *reading, hid_device *writing, QByteArray path)
        : m_reading(reading)
        , m_writing(writing)
        , m_path(std::move(path))
    {
    }

    ~HidapiConnection() override
    {
        hid_close(m_reading);
        hid_close(m_writing);
    }

    HidapiConnection(const HidapiConnection &) = delete;
    HidapiConnection &operator=(const HidapiConnection &) = delete;

    HidIoResult write(std::span<const std::uint8_t> report) override
    {
        const int written = hid_write(m_writing, report.data(), report.size());
        if (written >= 0)
            return static_cast<std::size_t>(written);
        const int error = errno;
        return HidIoFailure{meansGone(error) || ::access(m_path.constData(), F_OK) != 0,
                            fromWide(hid_error(m_writing))};
    }

    HidIoResult read(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        if (buffer.size() < 2)
            return HidIoFailure{};
        // hidraw gives unnumbered reports without their report-ID byte: put the 0 back in front.
        const int count = hid_read_timeout(m_reading, buffer.data() + 1, buffer.size() - 1, timeoutMs);
        if (count < 0)
            return HidIoFailure{true};
        if (count == 0)
            return std::size_t{0};
        buffer[0] = 0;
        return static_cast<std::size_t>(count) + 1;
    }

private:
    hid_device *m_reading;
    hid_device *m_writing;
    QByteArray m_path;
};

QString openFailure(const QByteArray &path, int error)
{
    const QString reason = fromWide(hid_error(nullptr));
    if (!reason.isEmpty() && reason != QLatin1String("Success"))
        return reason;
    return QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(path), QString::fromLocal8Bit(std::strerror(error)));
}

// The USB port path of a hidraw node ("1-1.2"): the name of the USB device it belongs to, which
// stays the same when the device restarts in that port.
QString usbPort(udev *context, const QByteArray &node)
{
    if (context == nullptr)
        return {};
    const QByteArray name = node.mid(node.lastIndexOf('/') + 1);
    const UdevDevicePtr device(udev_device_new_from_subsystem_sysname(context, "hidraw", name.constData()));
    if (!device)
        return {};
    // The parent is owned by its child.
    udev_device *const usb = udev_device_get_parent_with_subsystem_devtype(device.get(), "usb", "usb_device");
    const char *const sysname = usb != nullptr ? udev_device_get_sysname(usb) : nullptr;
    return sysname != nullptr ? QString::fromLocal8Bit(sysname) : QString();
}

} // namespace

HidapiBackend::HidapiBackend()
{
    hid_init();
}

// hid_exit() is left out: another backend in the same process may still be using hidapi.
HidapiBackend::~HidapiBackend() = default;

std::vector<HidDeviceInfo> HidapiBackend::scan()
{
    std::vector<HidDeviceInfo> found;
    const UdevPtr context(udev_new());
    hid_device_info *const all = hid_enumerate(0, 0);
    for (const hid_device_info *entry = all; entry != nullptr; entry = entry->next) {
        // A node on its way out, or not all there yet, can be listed without its path: it cannot be
        // opened, nor told apart from another one.
        if (entry->path == nullptr || entry->path[0] == '\0')
            continue;
        HidDeviceInfo info;
        info.instance = QString::fromLocal8Bit(entry->path);
        // hidapi lists a node once for every top-level collection of its report descriptor.
        if (std::any_of(found.begin(), found.end(),
                        [&](const HidDeviceInfo &f) { return f.instance == info.instance; }))
            continue;
        info.manufacturer = fromWide(entry->manufacturer_string);
        info.product = fromWide(entry->product_string);
        info.serialNumber = fromWide(entry->serial_number);
        info.versionNumber = entry->release_number;
        info.port = usbPort(context.get(), entry->path);
        found.push_back(std::move(info));
    }
    hid_free_enumeration(all);
    return found;
}

Result<std::unique_ptr<HidConnection>> HidapiBackend::open(const QString &instance)
{
    const QByteArray path = instance.toLocal8Bit();
    hid_device *const writing = hid_open_path(path.constData());
    if (writing == nullptr)
        return Error{openFailure(path, errno)};
    hid_device *const reading = hid_open_path(path.constData());
    if (reading == nullptr) {
        const QString failure = openFailure(path, errno);
        hid_close(writing);
        return Error{failure};
    }
    return std::unique_ptr<HidConnection>(std::make_unique<HidapiConnection>(reading, writing, path));
}

void HidapiBackend::watchChanges(std::function<void()> onChange)
{
    m_monitor = std::make_unique<UdevMonitor>("hidraw");
    QObject::connect(m_monitor.get(), &UdevMonitor::eventsArrived, m_monitor.get(),
                     [this, onChange = std::move(onChange)](const std::vector<UdevMonitor::Event> &events) {
                         for (const UdevMonitor::Event &event : events) {
                             if (event.devnode.isEmpty())
                                 continue;
                             if (event.action == QLatin1String("add"))
                                 m_events.push_back({HidDeviceEvent::Kind::Added, event.devnode});
                             else if (event.action == QLatin1String("remove"))
                                 m_events.push_back({HidDeviceEvent::Kind::Removed, event.devnode});
                         }
                         if (onChange)
                             onChange();
                     });
}

std::vector<HidDeviceEvent> HidapiBackend::takeEvents()
{
    return std::exchange(m_events, {});
}

QString HidapiBackend::lockScope() const
{
    return AdapterLock::systemScope();
}

QString hidapiVersion()
{
    return QString::fromLatin1(hid_version_str());
}

} // namespace vestra7
