// SPDX-License-Identifier: GPL-3.0-or-later
// Which of the adapters plugged in is the one to claim, and the keys that tell them apart.
#pragma once

#include "link/adapter_port.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <vector>

namespace vestra7 {

class HidController;
class HidDevice;

// The first adapter found, or the one chosen for as long as it stays plugged in; or, bound to a key,
// that adapter only, waited for while it is away. An update restarts the adapter into its boot
// loader and back, which is no leaving: the choice holds across it, and a boot loader without a
// serial number of its own is known by the USB port the chosen adapter left. Everything is used on
// the GUI thread.
class AdapterSelector final : public QObject
{
    Q_OBJECT

public:
    // How long an adapter that left its boot loader may take to come back before a choice of it lapses.
    static constexpr std::chrono::milliseconds kRestartWait{15000};

    explicit AdapterSelector(QObject *parent = nullptr);

    // The devices to choose from; none before it is set.
    void setController(const HidController *controller) { m_controller = controller; }

    // The plugged-in adapters' devices in list order, and what the windows see of each.
    std::vector<const HidDevice *> adapterDevices() const;
    std::vector<PresentAdapter> presentAdapters() const;
    bool keyPresent(const QString &key) const;
    // The key of the adapter behind the device: its listed key, but the chosen adapter's for its
    // boot loader where that reports no serial number of its own.
    QString adapterKeyOf(const HidDevice &device) const;
    // The device's USB port where its serial number is empty or another adapter's too (StoreIdentity).
    QString sharedSerialPortOf(const HidDevice &device) const;

    // Only the adapter with this key is taken from now on; choose() then changes nothing.
    void claimOnly(const QString &key);
    // The adapter with this key is taken while it stays; an empty key, or one no present adapter
    // has, means the first one found. False, and nothing changed, when bound to a key.
    bool choose(const QString &key);
    // Whether the device may be claimed: it is the chosen adapter, or none is chosen.
    bool accepts(const HidDevice &device) const;
    // The adapter with this key was claimed, in this USB port.
    void claimed(const QString &key, const QString &port);
    // Before each search: a choice whose adapter has left lapses, unless it is bound, the update
    // window shows, or the adapter is given its while to come back from its boot loader.
    void keepOrDropChoice(const HidDevice *claimedDevice, bool updateHolds);

signals:
    // The while given to the chosen adapter to come back is over: a search must look again.
    void restartWaitOver();

private:
    QString keyOf(const HidDevice &device) const;
    bool isChosenBootLoader(const HidDevice &device) const;
    bool chosenAdapterPresent() const;

    const HidController *m_controller = nullptr;
    QString m_chosenKey;          // empty: the first one found
    bool m_bound = false;         // the chosen adapter is the only one ever claimed
    QTimer m_restartWait;         // how long the chosen adapter may take to come back from its boot loader
    bool m_restartWaited = false; // that wait has been given since it was last claimed
    QString m_claimedKey;         // the adapter claimed last
    QString m_claimedPort;        // and its USB port
};

} // namespace vestra7
