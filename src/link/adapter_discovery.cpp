// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the adapter among the HID devices: claiming it, its identity and its boot loader.
#include "link/adapter.h"

#include "link/adapter_device.h"
#include "link/hid_controller.h"
#include "link/logging.h"
#include "model/boot_loader_name.h"

#include <algorithm>

namespace vestra7 {

void Adapter::searchAgain()
{
    onDeviceChange();
}

std::vector<PresentAdapter> Adapter::presentAdapters() const
{
    return m_selector.presentAdapters();
}

void Adapter::claimOnly(const QString &key)
{
    m_selector.claimOnly(key);
    onDeviceChange();
}

void Adapter::claimNothing()
{
    m_claimingNothing = true;
}

void Adapter::chooseAdapter(const QString &key)
{
    if (m_selector.choose(key))
        onDeviceChange();
}

void Adapter::onDeviceChange()
{
    // Shut down, as the command line's search is before each adapter gets an Adapter of its own, it
    // must not go on claiming, nor wait for the locks those others hold.
    if (!m_shared->controller || m_shutDown)
        return;
    m_selector.keepOrDropFollowed(m_shared->claimedDevice.load(), m_updater.holdsAdapter());
    m_shared->controller->offerDevices([this](HidDevice &device, int) { return onDeviceOffered(device); });
    const HidDevice *claimed = m_shared->claimedDevice.load();
    if (claimed != nullptr && !claimed->isPluggedIn())
        m_updater.adapterLeft();
    checkConnection();
    // An adapter waited for that has gone is waited for no longer.
    if (const QString &waited = m_claimLock.waitedKey(); !waited.isEmpty()) {
        const std::vector<PresentAdapter> present = presentAdapters();
        if (std::none_of(present.begin(), present.end(),
                         [&waited](const PresentAdapter &adapter) { return adapter.key == waited; }))
            m_claimLock.stopWaiting();
    }
    announcePresentAdapters();
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
    if (!isAdapterManufacturer(device.manufacturer()))
        return true;
    if (!m_selector.accepts(device) || m_claimingNothing)
        return true;
    // Held by another program: wait for it, rather than take another adapter without a word.
    const QString heldBefore = m_claimLock.heldKey();
    if (!m_claimLock.take(m_selector.adapterKeyOf(device)))
        return false;

    if (const Result<void> claimed = device.claim(); !claimed) {
        // Found but not ours to open: say so once for this device, and look on for another adapter.
        qCWarning(lcHid) << "adapter" << device.instance() << "cannot be opened:" << claimed.error().message;
        if (m_reportedAccessProblem != device.instance()) {
            m_reportedAccessProblem = device.instance();
            emit accessProblem(claimed.error().message);
        }
        // Nor is its lock ours to keep.
        m_claimLock.restore(heldBefore);
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
        if (previous != nullptr && (previous->isPluggedIn() || m_identity.key != m_selector.adapterKeyOf(device))) {
            m_connectOnRecord = true;
            m_recordSinceClaim = false;
        }
    }
    m_shared->claimedDevice = &device;
    m_shared->devicePresent = true;

    m_identity = {device.product(), device.serialNumber(), deviceVersionText(device.versionNumber()),
                  m_selector.adapterKeyOf(device), m_selector.sharedSerialPortOf(device)};
    m_selector.claimed(m_identity.key, device.port());
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

} // namespace vestra7
