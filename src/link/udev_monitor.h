// SPDX-License-Identifier: GPL-3.0-or-later
// Hearing of device changes from udev on the GUI thread, without a thread of its own.
#pragma once

#include "link/udev_ptr.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QSocketNotifier;

namespace vestra7 {

class UdevMonitor final : public QObject
{
    Q_OBJECT

public:
    // One uevent: its action ("add", "remove", "change"...) and the device's node, if it has one.
    struct Event
    {
        QString action;
        QString devnode;
    };

    // Listens to the uevents of one subsystem.
    explicit UdevMonitor(const char *subsystem, QObject *parent = nullptr);
    ~UdevMonitor() override;

    bool isWatching() const { return m_notifier != nullptr; }
    // Why it is not watching.
    const QString &error() const { return m_error; }

signals:
    // On the creating thread's event loop, once for every burst of events that arrived together,
    // with those events in order.
    void eventsArrived(const std::vector<UdevMonitor::Event> &events);

private:
    void drain();

    UdevPtr m_udev;
    UdevMonitorPtr m_monitor;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QString m_error;
};

} // namespace vestra7
