// SPDX-License-Identifier: GPL-3.0-or-later
// An emulated USB HID device as the host sees it: identity, plugging, and its two report pipes
// with an optional full-speed timing model and fault injection.
#pragma once

#include "sim/wire_codec.h"

#include "link/hid_backend.h"

#include <QString>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <span>
#include <string>

namespace vestra7 {

class EmulatedPort;

// Shares of reports lost or damaged on the way, each from 0 to 1, drawn from a seeded generator
// so that a run can be repeated.
struct LinkFaults
{
    double dropToDevice = 0;
    double corruptToDevice = 0; // one byte of the frame changed
    double dropToHost = 0;
    double corruptToHost = 0;
    std::uint32_t seed = 1;
};

// The outcome of a host write: bytes taken, or -1 and why.
struct HostWrite
{
    int bytes = -1;
    HidIoFailure failure;
};

// On its own it is a device that ignores what it is sent and never sends anything: a stand-in for
// the other HID devices of a computer. The adapter derives from it.
class EmulatedHidDevice : public std::enable_shared_from_this<EmulatedHidDevice>
{
public:
    using Clock = std::chrono::steady_clock;

    // `identity` without instance: the port hands one out at each plug.
    explicit EmulatedHidDevice(HidDeviceInfo identity);
    virtual ~EmulatedHidDevice();

    EmulatedHidDevice(const EmulatedHidDevice &) = delete;
    EmulatedHidDevice &operator=(const EmulatedHidDevice &) = delete;

    // What a scan shows, with the current instance (empty while unplugged).
    HidDeviceInfo info() const;
    QString instance() const;
    bool isPluggedIn() const;

    // Test controls, from any thread.
    void unplug();
    // Out and in again under a new instance; `whileOut` runs in between. Stays out when it was out.
    // With a gap set, it comes back that long after it went, and this returns at once.
    void replug(const std::function<void()> &whileOut = {});
    // How long it is gone from the bus when it restarts: none at first.
    void setRestartGap(std::chrono::milliseconds gap);
    // One 64-byte report per millisecond each way, as a full-speed interrupt endpoint: the bus runs in
    // 1 ms frames on a fixed grid and each report takes a frame of its own. A host write returns at the
    // end of the frame that carried it; a report the device queues can be read from the end of the
    // first free frame after that, so a reply comes a frame after the message it answers.
    void setUsbTiming(bool on);
    void setLinkFaults(const LinkFaults &faults);
    // Opening fails with this reason (as a node without access rights would); empty opens again.
    void refuseOpen(const QString &reason);
    QString openRefusal() const;
    // Writes fail with this reason while the device stays plugged in; empty to end it.
    void failWrites(const QString &reason);

    // The host's side, for backends and bridges. `instance` is the one the host opened: once the
    // device has left it, writes and reads fail as for a removed device.
    HostWrite hostWrite(const QString &instance, std::span<const std::uint8_t> report);
    // Fills `buffer` with report ID 0 and the next frame; returns the bytes given, 0 when nothing
    // came within the time, -1 when the device is gone.
    int hostRead(const QString &instance, std::span<std::uint8_t> buffer, int timeoutMs);

    // For ports only.
    void attach(EmulatedPort *port, const QString &instance);
    void detach();

protected:
    // A frame the host wrote, report ID taken off; on the host's writing thread.
    virtual void frameReceived(std::span<const std::uint8_t> frame);
    // Queues one input report, due `delay` from now and never before the reports queued earlier.
    void sendFrame(const WireFrame &frame, std::chrono::milliseconds delay = {});
    // Runs `action` once the host has taken every report queued so far and asks for the next one
    // (on its reading thread), or at once, here, when nothing is queued and the host is not still
    // busy with the last report it took. Dropped on unplug.
    void whenDrained(std::function<void()> action);
    void setProduct(const QString &product);
    void setSerialNumber(const QString &serialNumber);

private:
    bool roll(double share);
    void damage(std::span<std::uint8_t> frame);

    struct QueuedFrame
    {
        WireFrame frame;
        Clock::time_point due;
    };

    // Text shared between threads is kept as std::string, and every QString handed out is a fresh
    // one: a QString shared across threads is released inside the uninstrumented Qt library, out
    // of ThreadSanitizer's sight.
    struct Identity
    {
        std::string instance;
        std::string manufacturer;
        std::string product;
        std::string serialNumber;
        std::string port;
        std::uint16_t versionNumber = 0;
        std::uint16_t inputReportLength = 0;
        std::uint16_t outputReportLength = 0;
    };

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Identity m_info;
    EmulatedPort *m_port = nullptr; // where it was last plugged in
    bool m_pluggedIn = false;
    std::deque<QueuedFrame> m_input;
    Clock::time_point m_lastDue{};
    Clock::time_point m_nextOutSlot{};
    std::function<void()> m_whenDrained;
    // A read has returned a report since the host last wrote, and the host has not asked for another
    // since: a restart now would come before the host has handed that report on, sooner than any
    // real adapter restarts.
    bool m_reportWithHost = false;
    bool m_usbTiming = false;
    std::chrono::milliseconds m_restartGap{0};
    LinkFaults m_faults;
    std::mt19937 m_random{1};
    std::string m_openRefusal;
    std::string m_writeFailure;
};

} // namespace vestra7
