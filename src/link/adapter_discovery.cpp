// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the adapter among the HID devices: claiming it, its identity and its boot loader.
#include "link/adapter.h"

#include "link/adapter_key.h"
#include "link/adapter_lock.h"
#include "link/hid_controller.h"
#include "link/logging.h"
#include "model/boot_loader_name.h"

#include <algorithm>

namespace {

constexpr char kAdapterManufacturer[] = "TARNIX";

bool isAdapterDevice(const HidDevice &device)
{
    return isAdapterManufacturer(device.manufacturer());
}

} // namespace

bool isAdapterManufacturer(const QString &manufacturer)
{
    return manufacturer == QLatin1String(kAdapterManufacturer);
}

void Adapter::searchAgain()
{
    onDeviceChange();
}

std::vector<const HidDevice *> Adapter::adapterDevices() const
{
    std::vector<const HidDevice *> devices;
    if (!m_shared->controller)
        return devices;
    for (const HidDevice *device : m_shared->controller->devices())
        if (device->isPluggedIn() && isAdapterDevice(*device))
            devices.push_back(device);
    return devices;
}

std::vector<PresentAdapter> Adapter::presentAdapters() const
{
    const std::vector<const HidDevice *> devices = adapterDevices();
    std::vector<AdapterAddress> addresses;
    for (const HidDevice *device : devices)
        addresses.push_back({device->serialNumber(), device->port()});
    const std::vector<QString> keys = adapterKeys(addresses);
    std::vector<PresentAdapter> present;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const HidDevice &device = *devices[i];
        present.push_back({device.product(), device.serialNumber(), versionText(device.versionNumber()),
                           isBootLoaderName(device.product()), device.accessError(), device.port(), keys[i]});
    }
    return present;
}

QString Adapter::keyOf(const HidDevice &device) const
{
    const std::vector<const HidDevice *> devices = adapterDevices();
    const std::vector<PresentAdapter> present = presentAdapters();
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (devices[i] == &device)
            return present[i].key;
    return device.serialNumber();
}

QString Adapter::adapterKeyOf(const HidDevice &device) const
{
    return isChosenBootLoader(device) ? m_chosenKey : keyOf(device);
}

bool Adapter::isChosenBootLoader(const HidDevice &device) const
{
    // A boot loader that reports the serial number is keyed by it, as the adapter is. One that does
    // not is the chosen adapter come back from its restart only when it sits in the port that
    // adapter left: another adapter's boot loader (an update by another program, say) must not be
    // taken for it. Where no port tells them apart, it is not guessed at.
    if (m_chosenKey.isEmpty() || m_identity.key != m_chosenKey || !device.serialNumber().isEmpty() ||
        !isBootLoaderName(device.product()) || keyPresent(m_chosenKey))
        return false;
    if (m_identityPort.isEmpty() || device.port().isEmpty()) {
        qCDebug(lcHid) << "a boot loader without serial number or port:" << device.instance()
                       << "cannot be told from another adapter's; it is not taken for" << m_chosenKey;
        return false;
    }
    return device.port() == m_identityPort;
}

bool Adapter::keyPresent(const QString &key) const
{
    const std::vector<PresentAdapter> present = presentAdapters();
    return std::any_of(present.begin(), present.end(),
                       [&key](const PresentAdapter &adapter) { return adapter.key == key; });
}

void Adapter::claimOnly(const QString &key)
{
    m_chosenKey = key;
    m_bound = true;
    qCDebug(lcHid) << "only adapter" << key << "is claimed";
    onDeviceChange();
}

void Adapter::chooseAdapter(const QString &key)
{
    if (m_bound)
        return;
    m_chosenKey = key;
    if (!chosenAdapterPresent())
        m_chosenKey.clear();
    qCDebug(lcHid) << "adapter chosen:" << (m_chosenKey.isEmpty() ? QStringLiteral("the first found") : m_chosenKey);
    onDeviceChange();
}

bool Adapter::chosenAdapterPresent() const
{
    if (keyPresent(m_chosenKey))
        return true;
    const std::vector<const HidDevice *> devices = adapterDevices();
    return std::any_of(devices.begin(), devices.end(),
                       [this](const HidDevice *device) { return isChosenBootLoader(*device); });
}

void Adapter::onDeviceChange()
{
    if (!m_shared->controller)
        return;
    if (!m_chosenKey.isEmpty())
        keepOrDropChoice();
    m_shared->controller->offerDevices();
    const HidDevice *claimed = m_shared->claimedDevice.load();
    if (claimed != nullptr && !claimed->isPluggedIn())
        m_updater.adapterLeft();
    checkConnection();
    // An adapter waited for that has gone is waited for no longer.
    if (!m_inUseKey.isEmpty()) {
        const std::vector<PresentAdapter> present = presentAdapters();
        if (std::none_of(present.begin(), present.end(),
                         [this](const PresentAdapter &adapter) { return adapter.key == m_inUseKey; })) {
            m_inUseRetry.stop();
            setInUse({}, {});
        }
    }
    announcePresentAdapters();
}

void Adapter::keepOrDropChoice()
{
    if (chosenAdapterPresent()) {
        m_chosenRestartWait.stop();
        return;
    }
    if (m_bound)
        return;
    // An update restarts the adapter into its boot loader and back, which is no leaving: meanwhile no
    // other adapter may take its place, or the update would go on with that one, and the choice
    // would be lost to the restart that ends it. An adapter that left its boot loader is given a
    // while to come back in its firmware.
    const HidDevice *claimed = m_shared->claimedDevice.load();
    const bool leftBootLoader =
        claimed != nullptr && m_identity.key == m_chosenKey && isBootLoaderName(claimed->product());
    if (leftBootLoader && !m_chosenRestartWait.isActive() && !m_chosenRestartWaited) {
        m_chosenRestartWait.start();
        m_chosenRestartWaited = true;
    }
    if (m_updater.holdsAdapter() || m_chosenRestartWait.isActive())
        return;
    qCDebug(lcHid) << "the chosen adapter" << m_chosenKey << "has left; the first one found is used again";
    m_chosenKey.clear();
}

bool Adapter::lockFor(const HidDevice &device)
{
    if (!m_lock)
        return true;
    const QString key = adapterKeyOf(device);
    if (const Result<void, AdapterLockHolder> taken = m_lock->take(key); !taken) {
        setInUse(key, adapterInUseText(taken.error()));
        m_inUseHandsOver = taken.error().handsOver;
        m_inUseRetry.start();
        return false;
    }
    setInUse({}, {});
    m_inUseHandsOver = false;
    return true;
}

void Adapter::setInUse(const QString &key, const QString &holder)
{
    m_inUseKey = key;
    if (m_inUseBy == holder)
        return;
    m_inUseBy = holder;
    if (!holder.isEmpty())
        qCDebug(lcHid) << "adapter" << key << "waits:" << holder;
    emit inUseChanged(holder);
}

void Adapter::announcePresentAdapters()
{
    std::vector<PresentAdapter> present = presentAdapters();
    if (m_presentAdapters == present)
        return;
    m_presentAdapters = std::move(present);
    emit presentAdaptersChanged();
}

void Adapter::checkConnection()
{
    // With no device left to offer, nothing else would take the windows out of their connected state.
    if (!connected()) {
        qCDebug(lcHid) << "no adapter in normal firmware is connected";
        setConnected(false);
        m_shared->mailbox.forgetWrites();
    }
}

void Adapter::setConnected(bool connected)
{
    emit connectionChanged(connected);
}

bool Adapter::connected() const
{
    const HidDevice *device = m_shared->claimedDevice.load();
    return device != nullptr && device->isPluggedIn() && !isBootLoaderName(device->product());
}

bool Adapter::bootLoaderPresent() const
{
    const HidDevice *device = m_shared->claimedDevice.load();
    return device != nullptr && device->isPluggedIn() && isBootLoaderName(device->product());
}

bool Adapter::onDeviceOffered(HidDevice &device)
{
    // Every device looked at passes the windows through their disconnected state first.
    setConnected(false);
    if (!isAdapterDevice(device))
        return true;
    if (!m_chosenKey.isEmpty() && adapterKeyOf(device) != m_chosenKey)
        return true;
    // Held by another program: wait for it, rather than take another adapter without a word.
    const QString heldBefore = m_lock ? m_lock->key() : QString();
    if (!lockFor(device))
        return false;

    device.claim();
    if (!device.isClaimed()) {
        // Found but not ours to open: say so once for this device, and look on for another adapter.
        qCWarning(lcHid) << "adapter" << device.instance() << "cannot be opened:" << device.accessError();
        if (m_reportedAccessProblem != device.instance()) {
            m_reportedAccessProblem = device.instance();
            emit accessProblem(device.accessError());
        }
        // Nor is its lock ours to keep: a user who may open it must not find it held by one who may not.
        if (m_lock && m_lock->key() != heldBefore) {
            m_lock->release();
            if (!heldBefore.isEmpty() && !m_lock->take(heldBefore))
                qCDebug(lcHid) << "the adapter held before is held by another program now:" << heldBefore;
        }
        return true;
    }
    if (HidDevice *previous = m_shared->claimedDevice.load(); previous != &device) {
        m_shared->mailbox.forgetWrites(); // writes sent to another adapter object are not answered by this one
        if (previous != nullptr)
            m_updater.adapterLeft();
        // Taken in place of another adapter, still plugged in as after a choice or unplugged: until
        // this one's record has come, the record held is the other's, and a change made on it would
        // write the other adapter's phone book into this one. The same adapter back from a restart
        // keeps its key.
        if (previous != nullptr && (previous->isPluggedIn() || m_identity.key != adapterKeyOf(device))) {
            m_connectOnRecord = true;
            m_recordSinceClaim = false;
        }
    }
    m_shared->claimedDevice = &device;
    m_chosenRestartWaited = false;
    m_shared->devicePresent = true;

    m_identity = {device.product(), device.serialNumber(), versionText(device.versionNumber()), adapterKeyOf(device)};
    m_identityPort = device.port();
    qCDebug(lcHid) << "claimed" << device.instance() << m_identity.product << "serial" << m_identity.serial << "version"
                   << m_identity.version;
    emit identityChanged(m_identity);
    const bool bootLoader = isBootLoaderName(m_identity.product);
    m_updater.adapterFound(bootLoader);
    emit bootLoaderChanged(bootLoader);
    if (!bootLoader && !m_connectOnRecord)
        setConnected(true);
    return false;
}
