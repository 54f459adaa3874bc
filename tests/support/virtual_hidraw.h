// SPDX-License-Identifier: GPL-3.0-or-later
// Emulated HID devices exposed as virtual hidraw nodes through umockdev, so that hidapi, libudev and
// the program's Linux backend meet them as they would meet real devices.
#pragma once

#include "sim/delayed_plugs.h"
#include "sim/emulated_port.h"

#include <QProcessEnvironment>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace vestra7 {

class EmulatedHidDevice;
struct VirtualNode;

// The test must run under umockdev-wrapper. Create this before anything opens udev or hidapi, and
// only one at a time. Each plug adds a USB device with its interface, HID device and a new
// /dev/hidrawN node (the instance, as hidapi lists it), in the USB port the device was last plugged
// into (a new one for a device never plugged in before); unplug removes them, deepest first, in a
// real kernel's order: each device's node and the links by which it is listed are gone before its
// "remove" uevent is sent, so that a scan the uevent brings no longer finds it. Plugging and
// unplugging may be asked for from any thread, also from a device's own reply path (an adapter
// restarting itself): the testbed is only ever touched by one control thread, and a call from the
// test's own thread waits until it is done.
class VirtualHidraw final : public EmulatedPort
{
public:
    VirtualHidraw();
    ~VirtualHidraw() override;

    VirtualHidraw(const VirtualHidraw &) = delete;
    VirtualHidraw &operator=(const VirtualHidraw &) = delete;

    // Whether the process runs under umockdev-wrapper.
    static bool isAvailable();
    // The testbed's folder. A child process sees the nodes when its environment has it as
    // UMOCKDEV_DIR, along with this process's LD_PRELOAD.
    QString rootDir() const;
    // The environment of a program started as a child on these nodes: the testbed named, the C
    // locale, so that its words are the untranslated ones.
    QProcessEnvironment childEnvironment() const;

    QString plug(const std::shared_ptr<EmulatedHidDevice> &device) override;
    void unplug(EmulatedHidDevice &device) override;
    void plugAfter(const std::shared_ptr<EmulatedHidDevice> &device, std::chrono::milliseconds gap) override;
    // The device's next plug (its restart, say) is into a USB port none was plugged into before, as
    // when the user moves it.
    void changePortOnNextPlug(const EmulatedHidDevice &device);
    // Sends the device's "remove" uevents and nothing more, as no kernel does: the node stays
    // listed and open until unplug(), which then sends none. For a test of a program that hears
    // the removal while its scans still list the node.
    void announceRemoval(EmulatedHidDevice &device);

    // Plugs in a device that is not the adapter (it ignores what it is sent); returns it.
    std::shared_ptr<EmulatedHidDevice> addForeignDevice(const QString &manufacturer, const QString &product,
                                                        std::uint16_t version = 0x0100);

private:
    void run();
    void perform(std::function<void()> operation);
    void addNode(const std::shared_ptr<VirtualNode> &node);
    void removeNode(const std::shared_ptr<VirtualNode> &node);
    void hideDevice(const std::string &sysPath);
    int portFor(const std::shared_ptr<EmulatedHidDevice> &device); // under m_mutex

    UMockdevTestbed *m_testbed = nullptr;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    // The device's node among those plugged in, or the end; under m_mutex.
    std::vector<std::shared_ptr<VirtualNode>>::iterator pluggedNode(const EmulatedHidDevice &device);

    std::vector<std::shared_ptr<VirtualNode>> m_nodes; // plugged in
    std::vector<std::shared_ptr<VirtualNode>> m_gone;  // kept until the end: umockdev may still call in
    int m_nextNumber = 0;
    // The USB port each device was last plugged into, as "1-N".
    std::vector<std::pair<std::weak_ptr<EmulatedHidDevice>, int>> m_ports;
    int m_nextPort = 1;
    std::deque<std::function<void()>> m_operations;
    std::uint64_t m_queued = 0;
    std::uint64_t m_done = 0;
    bool m_stopping = false;
    std::thread m_control;
    DelayedPlugs m_delayedPlugs{*this};
};

} // namespace vestra7
