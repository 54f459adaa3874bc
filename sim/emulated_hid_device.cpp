// SPDX-License-Identifier: GPL-3.0-or-later
// The host's view of an emulated HID device: plugging, report pipes, timing and faults.
#include "sim/emulated_hid_device.h"

#include "sim/emulated_port.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace vestra7 {

namespace {

constexpr std::chrono::milliseconds kUsbFrameTime{1};

// The bus's frames start every millisecond on a fixed grid; a report moves in the frame after `t`.
EmulatedHidDevice::Clock::time_point frameAfter(EmulatedHidDevice::Clock::time_point t)
{
    return EmulatedHidDevice::Clock::time_point(std::chrono::floor<std::chrono::milliseconds>(t.time_since_epoch()) +
                                                kUsbFrameTime);
}

} // namespace

EmulatedHidDevice::EmulatedHidDevice(HidDeviceInfo identity)
    : m_info{{},
             identity.manufacturer.toStdString(),
             identity.product.toStdString(),
             identity.serialNumber.toStdString(),
             identity.port.toStdString(),
             identity.versionNumber,
             identity.inputReportLength,
             identity.outputReportLength}
{
}

EmulatedHidDevice::~EmulatedHidDevice() = default;

HidDeviceInfo EmulatedHidDevice::info() const
{
    const std::lock_guard lock(m_mutex);
    return {QString::fromStdString(m_info.instance),
            QString::fromStdString(m_info.manufacturer),
            QString::fromStdString(m_info.product),
            QString::fromStdString(m_info.serialNumber),
            m_info.versionNumber,
            m_info.inputReportLength,
            m_info.outputReportLength,
            QString::fromStdString(m_info.port)};
}

QString EmulatedHidDevice::instance() const
{
    const std::lock_guard lock(m_mutex);
    return QString::fromStdString(m_info.instance);
}

bool EmulatedHidDevice::isPluggedIn() const
{
    const std::lock_guard lock(m_mutex);
    return m_pluggedIn;
}

void EmulatedHidDevice::unplug()
{
    EmulatedPort *port = nullptr;
    {
        const std::lock_guard lock(m_mutex);
        if (!m_pluggedIn)
            return;
        port = m_port;
    }
    port->unplug(*this);
}

void EmulatedHidDevice::replug(const std::function<void()> &whileOut)
{
    EmulatedPort *port = nullptr;
    std::chrono::milliseconds gap{0};
    {
        const std::lock_guard lock(m_mutex);
        if (m_pluggedIn)
            port = m_port;
        gap = m_restartGap;
    }
    if (port != nullptr)
        port->unplug(*this);
    if (whileOut)
        whileOut();
    if (port == nullptr)
        return;
    if (gap > std::chrono::milliseconds(0))
        port->plugAfter(shared_from_this(), gap);
    else
        port->plug(shared_from_this());
}

void EmulatedHidDevice::setRestartGap(std::chrono::milliseconds gap)
{
    const std::lock_guard lock(m_mutex);
    m_restartGap = gap;
}

void EmulatedHidDevice::setUsbTiming(bool on)
{
    const std::lock_guard lock(m_mutex);
    m_usbTiming = on;
}

void EmulatedHidDevice::setLinkFaults(const LinkFaults &faults)
{
    const std::lock_guard lock(m_mutex);
    m_faults = faults;
    m_random.seed(faults.seed);
}

void EmulatedHidDevice::refuseOpen(const QString &reason)
{
    const std::lock_guard lock(m_mutex);
    m_openRefusal = reason.toStdString();
}

QString EmulatedHidDevice::openRefusal() const
{
    const std::lock_guard lock(m_mutex);
    return QString::fromStdString(m_openRefusal);
}

void EmulatedHidDevice::failWrites(const QString &reason)
{
    const std::lock_guard lock(m_mutex);
    m_writeFailure = reason.toStdString();
}

HostWrite EmulatedHidDevice::hostWrite(const QString &instance, std::span<const std::uint8_t> report)
{
    const std::string wanted = instance.toStdString();
    Clock::time_point slot;
    {
        const std::lock_guard lock(m_mutex);
        if (!m_pluggedIn || wanted != m_info.instance)
            return {-1, {true, QStringLiteral("No such device")}};
        if (!m_writeFailure.empty())
            return {-1, {false, QString::fromStdString(m_writeFailure)}};
        // A host that writes again is done with what it read before: only a report taken after this
        // write, a reply to it, can hold a restart back.
        m_reportWithHost = false;
        if (m_usbTiming) {
            slot = frameAfter(std::max(Clock::now(), m_nextOutSlot));
            m_nextOutSlot = slot;
        }
    }
    if (slot != Clock::time_point{})
        std::this_thread::sleep_until(slot);

    std::vector<std::uint8_t> frame(report.begin() + (report.empty() ? 0 : 1), report.end());
    {
        const std::lock_guard lock(m_mutex);
        if (roll(m_faults.dropToDevice))
            return {static_cast<int>(report.size()), {}};
        if (roll(m_faults.corruptToDevice))
            damage(frame);
    }
    frameReceived(frame);
    return {static_cast<int>(report.size()), {}};
}

int EmulatedHidDevice::hostRead(const QString &instance, std::span<std::uint8_t> buffer, int timeoutMs)
{
    const std::string wanted = instance.toStdString();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock lock(m_mutex);
    m_reportWithHost = false;
    for (;;) {
        if (!m_pluggedIn || wanted != m_info.instance)
            return -1;
        const Clock::time_point now = Clock::now();
        if (!m_input.empty() && m_input.front().due <= now) {
            if (buffer.empty())
                return -1;
            const WireFrame &frame = m_input.front().frame;
            const std::size_t count = std::min(frame.size(), buffer.size() - 1);
            buffer[0] = 0;
            std::copy_n(frame.begin(), count, buffer.begin() + 1);
            m_input.pop_front();
            m_reportWithHost = true;
            return static_cast<int>(count + 1);
        }
        if (m_input.empty() && m_whenDrained) {
            const std::function<void()> action = std::exchange(m_whenDrained, {});
            lock.unlock();
            action();
            lock.lock();
            continue;
        }
        if (now >= deadline)
            return 0;
        const Clock::time_point wake = m_input.empty() ? deadline : std::min(deadline, m_input.front().due);
        m_changed.wait_until(lock, wake);
    }
}

void EmulatedHidDevice::attach(EmulatedPort *port, const QString &instance)
{
    {
        const std::lock_guard lock(m_mutex);
        m_port = port;
        m_pluggedIn = true;
        m_info.instance = instance.toStdString();
        // A device keeps the port it was first plugged into, as a real one restarting in its socket.
        if (m_info.port.empty())
            m_info.port = "1-" + instance.section(QLatin1Char(':'), -1).toStdString();
        m_input.clear();
        m_whenDrained = {};
        m_reportWithHost = false;
    }
    m_changed.notify_all();
}

void EmulatedHidDevice::detach()
{
    {
        const std::lock_guard lock(m_mutex);
        m_pluggedIn = false;
        m_info.instance.clear();
        m_input.clear();
        m_whenDrained = {};
        m_reportWithHost = false;
    }
    m_changed.notify_all();
}

void EmulatedHidDevice::frameReceived(std::span<const std::uint8_t>)
{
}

void EmulatedHidDevice::sendFrame(const WireFrame &frame, std::chrono::milliseconds delay)
{
    {
        const std::lock_guard lock(m_mutex);
        if (!m_pluggedIn || roll(m_faults.dropToHost))
            return;
        QueuedFrame queued{frame, Clock::now() + delay};
        if (roll(m_faults.corruptToHost))
            damage(queued.frame);
        queued.due = m_usbTiming ? frameAfter(std::max(queued.due, m_lastDue)) : std::max(queued.due, m_lastDue);
        m_lastDue = queued.due;
        m_input.push_back(queued);
    }
    m_changed.notify_all();
}

void EmulatedHidDevice::whenDrained(std::function<void()> action)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_pluggedIn && (!m_input.empty() || m_reportWithHost)) {
            m_whenDrained = std::move(action);
            return;
        }
    }
    action();
}

void EmulatedHidDevice::setProduct(const QString &product)
{
    const std::lock_guard lock(m_mutex);
    m_info.product = product.toStdString();
}

void EmulatedHidDevice::setSerialNumber(const QString &serialNumber)
{
    const std::lock_guard lock(m_mutex);
    m_info.serialNumber = serialNumber.toStdString();
}

bool EmulatedHidDevice::roll(double share)
{
    return share > 0 && std::uniform_real_distribution<double>(0, 1)(m_random) < share;
}

void EmulatedHidDevice::damage(std::span<std::uint8_t> frame)
{
    if (frame.empty())
        return;
    const std::size_t at = std::uniform_int_distribution<std::size_t>(0, frame.size() - 1)(m_random);
    frame[at] ^= static_cast<std::uint8_t>(std::uniform_int_distribution<int>(1, 255)(m_random));
}

} // namespace vestra7
