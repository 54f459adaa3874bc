// SPDX-License-Identifier: GPL-3.0-or-later
// The adapter followed, chosen or first found, and its keys.
#include "link/adapter_selector.h"

#include "link/adapter_device.h"
#include "link/adapter_key.h"
#include "link/hid_controller.h"
#include "link/logging.h"
#include "model/boot_loader_name.h"

#include <algorithm>

namespace vestra7 {

AdapterSelector::AdapterSelector(QObject *parent)
    : QObject(parent)
{
    m_restartWait.setSingleShot(true);
    m_restartWait.setInterval(kRestartWait);
    // Without a device change to look again, an adapter that did not come back would be waited for on.
    connect(&m_restartWait, &QTimer::timeout, this, &AdapterSelector::restartWaitOver);
}

std::vector<const HidDevice *> AdapterSelector::adapterDevices() const
{
    std::vector<const HidDevice *> devices;
    if (m_controller == nullptr)
        return devices;
    for (const HidDevice *device : m_controller->devices())
        if (device->isPluggedIn() && isAdapterManufacturer(device->manufacturer()))
            devices.push_back(device);
    return devices;
}

std::vector<PresentAdapter> AdapterSelector::presentAdapters() const
{
    const std::vector<const HidDevice *> devices = adapterDevices();
    std::vector<AdapterAddress> addresses;
    for (const HidDevice *device : devices)
        addresses.push_back({device->serialNumber(), device->port()});
    const std::vector<QString> keys = adapterKeys(addresses);
    std::vector<PresentAdapter> present;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const HidDevice &device = *devices[i];
        present.push_back({device.product(), device.serialNumber(), deviceVersionText(device.versionNumber()),
                           isBootLoaderName(device.product()), device.accessError(), device.port(), keys[i]});
    }
    return present;
}

bool AdapterSelector::keyPresent(const QString &key) const
{
    const std::vector<PresentAdapter> present = presentAdapters();
    return std::any_of(present.begin(), present.end(),
                       [&key](const PresentAdapter &adapter) { return adapter.key == key; });
}

QString AdapterSelector::keyOf(const HidDevice &device) const
{
    const std::vector<const HidDevice *> devices = adapterDevices();
    const std::vector<PresentAdapter> present = presentAdapters();
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (devices[i] == &device)
            return present[i].key;
    return device.serialNumber();
}

QString AdapterSelector::adapterKeyOf(const HidDevice &device) const
{
    return isFollowedBootLoader(device) ? m_followedKey : keyOf(device);
}

QString AdapterSelector::sharedSerialPortOf(const HidDevice &device) const
{
    const std::vector<const HidDevice *> devices = adapterDevices();
    std::vector<AdapterAddress> addresses;
    for (const HidDevice *present : devices)
        addresses.push_back({present->serialNumber(), present->port()});
    const std::vector<StoreIdentity> identities = storeIdentities(addresses);
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (devices[i] == &device)
            return identities[i].port;
    return device.serialNumber().isEmpty() ? device.port() : QString();
}

bool AdapterSelector::isFollowedBootLoader(const HidDevice &device) const
{
    // A boot loader that reports the serial number is keyed by it, as the adapter is. One that does
    // not is the followed adapter come back from its restart only when it sits in the port that
    // adapter left: another adapter's boot loader (an update by another program, say) must not be
    // taken for it. Where no port tells them apart, it is not guessed at.
    if (m_followedKey.isEmpty() || m_claimedKey != m_followedKey || !device.serialNumber().isEmpty() ||
        !isBootLoaderName(device.product()) || keyPresent(m_followedKey))
        return false;
    if (m_claimedPort.isEmpty() || device.port().isEmpty()) {
        qCDebug(lcHid) << "a boot loader without serial number or port:" << device.instance()
                       << "cannot be told from another adapter's; it is not taken for" << m_followedKey;
        return false;
    }
    return device.port() == m_claimedPort;
}

bool AdapterSelector::followedAdapterPresent() const
{
    if (keyPresent(m_followedKey))
        return true;
    const std::vector<const HidDevice *> devices = adapterDevices();
    return std::any_of(devices.begin(), devices.end(),
                       [this](const HidDevice *device) { return isFollowedBootLoader(*device); });
}

void AdapterSelector::claimOnly(const QString &key)
{
    m_followedKey = key;
    m_bound = true;
    qCDebug(lcHid) << "only adapter" << key << "is claimed";
}

bool AdapterSelector::choose(const QString &key)
{
    if (m_bound)
        return false;
    m_followedKey = key;
    if (!followedAdapterPresent())
        m_followedKey.clear();
    m_away = false;
    m_restartWait.stop();
    qCDebug(lcHid) << "adapter chosen:"
                   << (m_followedKey.isEmpty() ? QStringLiteral("the first found") : m_followedKey);
    return true;
}

bool AdapterSelector::accepts(const HidDevice &device) const
{
    return m_followedKey.isEmpty() || adapterKeyOf(device) == m_followedKey;
}

void AdapterSelector::claimed(const QString &key, const QString &port)
{
    if (!m_bound)
        m_followedKey = key;
    m_claimedKey = key;
    m_claimedPort = port;
    m_away = false;
    m_restartWaited = false;
    m_restartWait.stop();
}

void AdapterSelector::stopFollowing()
{
    m_followedKey.clear();
    m_away = false;
}

void AdapterSelector::updateReleased()
{
    if (m_away && m_awayForRestart && !std::exchange(m_restartWaited, true))
        m_restartWait.start();
}

void AdapterSelector::keepOrDropFollowed(const HidDevice *claimedDevice, bool updateHolds)
{
    if (m_followedKey.isEmpty())
        return;
    if (followedAdapterPresent()) {
        m_away = false;
        m_restartWait.stop();
        return;
    }
    if (m_bound)
        return;
    // How it left is told when it is first found gone: while an update held it, or from its boot
    // loader, it is restarting because this program asked it to. Meanwhile no other adapter may take
    // its place: it would be asked into its boot loader too, and the update would go on with it.
    if (!std::exchange(m_away, true))
        m_awayForRestart = updateHolds || (claimedDevice != nullptr && m_claimedKey == m_followedKey &&
                                           isBootLoaderName(claimedDevice->product()));
    if (!m_awayForRestart) {
        qCDebug(lcHid) << "the adapter in use" << m_followedKey << "was unplugged; the first one found is used";
        stopFollowing();
        return;
    }
    if (updateHolds)
        return;
    if (!std::exchange(m_restartWaited, true))
        m_restartWait.start();
    if (m_restartWait.isActive())
        return;
    qCDebug(lcHid) << "the adapter in use" << m_followedKey << "did not come back; the first one found is used";
    const QString lost = m_followedKey;
    stopFollowing();
    emit adapterNotBack(lost);
}

} // namespace vestra7
