// SPDX-License-Identifier: GPL-3.0-or-later
// The choice of adapter and its keys.
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
    // Without a device change to look again, a choice whose adapter did not come back would hold on.
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
    return isChosenBootLoader(device) ? m_chosenKey : keyOf(device);
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

bool AdapterSelector::isChosenBootLoader(const HidDevice &device) const
{
    // A boot loader that reports the serial number is keyed by it, as the adapter is. One that does
    // not is the chosen adapter come back from its restart only when it sits in the port that
    // adapter left: another adapter's boot loader (an update by another program, say) must not be
    // taken for it. Where no port tells them apart, it is not guessed at.
    if (m_chosenKey.isEmpty() || m_claimedKey != m_chosenKey || !device.serialNumber().isEmpty() ||
        !isBootLoaderName(device.product()) || keyPresent(m_chosenKey))
        return false;
    if (m_claimedPort.isEmpty() || device.port().isEmpty()) {
        qCDebug(lcHid) << "a boot loader without serial number or port:" << device.instance()
                       << "cannot be told from another adapter's; it is not taken for" << m_chosenKey;
        return false;
    }
    return device.port() == m_claimedPort;
}

bool AdapterSelector::chosenAdapterPresent() const
{
    if (keyPresent(m_chosenKey))
        return true;
    const std::vector<const HidDevice *> devices = adapterDevices();
    return std::any_of(devices.begin(), devices.end(),
                       [this](const HidDevice *device) { return isChosenBootLoader(*device); });
}

void AdapterSelector::claimOnly(const QString &key)
{
    m_chosenKey = key;
    m_bound = true;
    qCDebug(lcHid) << "only adapter" << key << "is claimed";
}

bool AdapterSelector::choose(const QString &key)
{
    if (m_bound)
        return false;
    m_chosenKey = key;
    if (!chosenAdapterPresent())
        m_chosenKey.clear();
    qCDebug(lcHid) << "adapter chosen:" << (m_chosenKey.isEmpty() ? QStringLiteral("the first found") : m_chosenKey);
    return true;
}

bool AdapterSelector::accepts(const HidDevice &device) const
{
    return m_chosenKey.isEmpty() || adapterKeyOf(device) == m_chosenKey;
}

void AdapterSelector::claimed(const QString &key, const QString &port)
{
    m_claimedKey = key;
    m_claimedPort = port;
    m_restartWaited = false;
}

void AdapterSelector::keepOrDropChoice(const HidDevice *claimedDevice, bool updateHolds)
{
    if (m_chosenKey.isEmpty())
        return;
    if (chosenAdapterPresent()) {
        m_restartWait.stop();
        return;
    }
    if (m_bound)
        return;
    // An update restarts the adapter into its boot loader and back, which is no leaving: meanwhile no
    // other adapter may take its place, or the update would go on with that one, and the choice
    // would be lost to the restart that ends it. An adapter that left its boot loader is given a
    // while to come back in its firmware.
    const bool leftBootLoader =
        claimedDevice != nullptr && m_claimedKey == m_chosenKey && isBootLoaderName(claimedDevice->product());
    if (leftBootLoader && !m_restartWait.isActive() && !m_restartWaited) {
        m_restartWait.start();
        m_restartWaited = true;
    }
    if (updateHolds || m_restartWait.isActive())
        return;
    qCDebug(lcHid) << "the chosen adapter" << m_chosenKey << "has left; the first one found is used again";
    m_chosenKey.clear();
}

} // namespace vestra7
