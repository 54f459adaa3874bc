// SPDX-License-Identifier: GPL-3.0-or-later
// Which of the adapters plugged in is the one to claim, and the keys that tell them apart.
#pragma once

#include "ports/adapter_port.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <vector>

namespace vestra7 {

class HidController;
class HidDevice;

// The adapter in use is followed, whether it was chosen or simply the first found, for as long as it
// stays plugged in; or, bound to a key, that adapter only, waited for while it is away. A restart
// the program asked for (into the boot loader and back, for an update or a reset of the settings) is
// no leaving: while the adapter is away for it no other is taken, and a boot loader without a serial
// number of its own is known by the USB port the followed adapter left. Everything is used on the
// GUI thread.
class AdapterSelector final : public QObject
{
    Q_OBJECT

public:
    // How long an adapter away for a restart may take to come back, once no update holds it, before
    // it is given up.
    static constexpr std::chrono::milliseconds kRestartWait{15000};

    explicit AdapterSelector(QObject *parent = nullptr);

    // The devices to choose from; none before it is set.
    void setController(const HidController *controller) { m_controller = controller; }

    // The plugged-in adapters' devices in list order, and what the windows see of each.
    std::vector<const HidDevice *> adapterDevices() const;
    std::vector<PresentAdapter> presentAdapters() const;
    bool keyPresent(const QString &key) const;
    // The key of the adapter behind the device: its listed key, but the followed adapter's for its
    // boot loader where that reports no serial number of its own.
    QString adapterKeyOf(const HidDevice &device) const;
    // The device's USB port where its serial number is empty or another adapter's too (StoreIdentity).
    QString sharedSerialPortOf(const HidDevice &device) const;

    // Only the adapter with this key is taken from now on; choose() then changes nothing.
    void claimOnly(const QString &key);
    // The adapter with this key is taken while it stays; an empty key, or one no present adapter
    // has, means the first one found. False, and nothing changed, when bound to a key.
    bool choose(const QString &key);
    // Whether the device may be claimed: it is the followed adapter, or none is followed.
    bool accepts(const HidDevice &device) const;
    // The adapter with this key was claimed, in this USB port: it is the one followed from now on.
    void claimed(const QString &key, const QString &port);
    // Before each search: the followed adapter, once gone, is given up at once when it was unplugged
    // by hand; when it left for a restart the program asked for (`updateHolds`, or it ran its boot
    // loader), only once no update holds it and kRestartWait has passed, which adapterNotBack() says.
    void keepOrDropFollowed(const HidDevice *claimedDevice, bool updateHolds);
    // The update no longer holds the adapter: one away for its restart has kRestartWait from now on
    // to come back. No search runs now: one would find the boot loader just left still there and
    // take it for the update's again.
    void updateReleased();
    // For tests that cannot wait the whole while.
    void setRestartWait(std::chrono::milliseconds wait) { m_restartWait.setInterval(wait); }

signals:
    // The while given to the followed adapter to come back is over: a search must look again.
    void restartWaitOver();
    // The adapter with this key did not come back from its restart: the first one found is used now.
    void adapterNotBack(const QString &key);

private:
    QString keyOf(const HidDevice &device) const;
    bool isFollowedBootLoader(const HidDevice &device) const;
    bool followedAdapterPresent() const;
    void stopFollowing();

    const HidController *m_controller = nullptr;
    QString m_followedKey;         // empty: the first one found is taken, and then followed
    bool m_bound = false;          // the followed adapter is the only one ever claimed
    bool m_away = false;           // the followed adapter has been found gone since it was last claimed
    bool m_awayForRestart = false; // and it left for a restart the program asked for
    QTimer m_restartWait;          // how long it may take to come back once no update holds it
    bool m_restartWaited = false;  // that wait has been given since it was last claimed
    QString m_claimedKey;          // the adapter claimed last
    QString m_claimedPort;         // and its USB port
};

} // namespace vestra7
