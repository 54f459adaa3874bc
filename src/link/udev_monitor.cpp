// SPDX-License-Identifier: GPL-3.0-or-later
// The udev monitor's socket watched by a QSocketNotifier.
#include "link/udev_monitor.h"

#include <QSocketNotifier>

namespace vestra7 {

UdevMonitor::UdevMonitor(const char *subsystem, QObject *parent)
    : QObject(parent)
    , m_udev(udev_new())
{
    if (!m_udev) {
        m_error = QStringLiteral("udev is not available");
        return;
    }
    // "udev": events after udev has processed them, so that the device's node and attributes exist.
    m_monitor.reset(udev_monitor_new_from_netlink(m_udev.get(), "udev"));
    if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor.get(), subsystem, nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor.get()) < 0) {
        m_error = QStringLiteral("The udev monitor cannot be started");
        m_monitor.reset();
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(m_monitor.get()), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &UdevMonitor::drain);
}

UdevMonitor::~UdevMonitor() = default;

void UdevMonitor::drain()
{
    // The socket does not block: take every event that is there, then tell of them once.
    std::vector<Event> events;
    while (UdevDevicePtr device{udev_monitor_receive_device(m_monitor.get())}) {
        const char *action = udev_device_get_action(device.get());
        const char *devnode = udev_device_get_devnode(device.get());
        events.push_back({QString::fromLocal8Bit(action != nullptr ? action : ""),
                          QString::fromLocal8Bit(devnode != nullptr ? devnode : "")});
    }
    if (!events.empty())
        emit eventsArrived(events);
}

} // namespace vestra7
