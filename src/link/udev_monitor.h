// SPDX-License-Identifier: GPL-3.0-or-later
// Hearing of device changes from udev on the GUI thread, without a thread of its own.
#pragma once

#include "link/udev_ptr.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

class UdevMonitor
{
public:
    // One uevent: its action ("add", "remove", "change"...) and the device's node, if it has one.
    struct Event
    {
        QString action;
        QString devnode;
    };

    // Listens to the uevents of one subsystem; `onChange` runs on the creating thread's event loop,
    // once for every burst of events that arrived together, with those events in order.
    UdevMonitor(const char *subsystem, std::function<void(std::vector<Event>)> onChange);
    ~UdevMonitor();

    UdevMonitor(const UdevMonitor &) = delete;
    UdevMonitor &operator=(const UdevMonitor &) = delete;

    bool isWatching() const { return m_notifier != nullptr; }
    // Why it is not watching.
    const QString &error() const { return m_error; }

private:
    void drain();

    UdevPtr m_udev;
    UdevMonitorPtr m_monitor;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void(std::vector<Event>)> m_onChange;
    QString m_error;
};
