// SPDX-License-Identifier: GPL-3.0-or-later
// The emulated adapter's firmware and boot loader.
#include "sim/emulated_adapter.h"

#include "model/firmware_image.h"

#include <algorithm>
#include <cstring>

namespace vestra7 {

// Lock order: the adapter's lock, then the device's (sending a frame); never the other way.

namespace {

void copyText(std::span<std::uint8_t> field, std::string_view text)
{
    std::fill(field.begin(), field.end(), std::uint8_t{0});
    std::copy_n(text.begin(), std::min(text.size(), field.size()), field.begin());
}

// "*100#" and the like ask the network for a text instead of placing a call.
bool isUssdRequest(const PartyEntry &party)
{
    const auto end = std::find(std::begin(party.number), std::end(party.number), std::uint8_t{0});
    const auto length = std::distance(std::begin(party.number), end);
    return length >= 2 && party.number[0] == '*' && *(end - 1) == '#';
}

HidDeviceInfo identityInfo(const EmulatedIdentity &identity)
{
    HidDeviceInfo info;
    info.manufacturer = identity.manufacturer;
    info.product = identity.product;
    info.serialNumber = identity.serialNumber;
    info.versionNumber = identity.version;
    return info;
}

} // namespace

DeviceRecord initialAdapterRecord()
{
    DeviceRecord record;
    setDefaults(record);
    for (int line = 0; line < kLineCount; ++line) {
        record.sim_pres[line] = 1;
        record.stat[line] = 1;
    }
    record.rssi[0] = -63;
    record.rssi[1] = -79;
    copyText(record.ops[0], "Operator A");
    copyText(record.ops[1], "Operator B");
    return record;
}

EmulatedAdapter::EmulatedAdapter(EmulatedIdentity identity)
    : EmulatedHidDevice(identityInfo(identity))
    , m_identity(std::move(identity))
{
    m_state.record = initialAdapterRecord();
}

EmulatedAdapter::~EmulatedAdapter() = default;

AdapterState EmulatedAdapter::state() const
{
    const std::lock_guard lock(m_mutex);
    advanceClock();
    return m_state;
}

bool EmulatedAdapter::waitFor(const std::function<bool(const AdapterState &)> &condition,
                              std::chrono::milliseconds timeout) const
{
    const Clock::time_point deadline = Clock::now() + timeout;
    std::unique_lock lock(m_mutex);
    for (;;) {
        advanceClock();
        if (condition(m_state))
            return true;
        if (Clock::now() >= deadline)
            return false;
        Clock::time_point wake = deadline;
        for (const auto &due : m_dialDone)
            if (due)
                wake = std::min(wake, *due);
        m_changed.wait_until(lock, wake);
    }
}

void EmulatedAdapter::clearReceived()
{
    const std::lock_guard lock(m_mutex);
    m_state.received.clear();
}

void EmulatedAdapter::setRecord(const DeviceRecord &record)
{
    {
        const std::lock_guard lock(m_mutex);
        m_state.record = record;
    }
    m_changed.notify_all();
}

void EmulatedAdapter::setDialDelay(std::chrono::milliseconds delay)
{
    const std::lock_guard lock(m_mutex);
    m_dialDelay = delay;
}

void EmulatedAdapter::setUpdateResult(bool success)
{
    const std::lock_guard lock(m_mutex);
    m_updateSucceeds = success;
}

void EmulatedAdapter::expectImage(std::vector<std::uint8_t> payload)
{
    const std::lock_guard lock(m_mutex);
    m_expectedImage = std::move(payload);
}

void EmulatedAdapter::rememberSentRecords()
{
    const std::lock_guard lock(m_mutex);
    m_rememberSent = true;
}

bool EmulatedAdapter::hasSentRecord(const DeviceRecord &record) const
{
    const auto bytes = record.bytes();
    const std::lock_guard lock(m_mutex);
    return m_sentRecords.count(std::string(bytes.begin(), bytes.end())) != 0;
}

void EmulatedAdapter::raiseIncomingCall(int line, const PartyEntry &party)
{
    if (line < 0 || line >= kLineCount)
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_state.record.stat[line] = 4;
        m_state.record.subscriber[line] = party;
        m_dialDone[line].reset();
        pushCallList(party);
    }
    m_changed.notify_all();
}

void EmulatedAdapter::endIncomingCall(int line)
{
    if (line < 0 || line >= kLineCount)
        return;
    {
        const std::lock_guard lock(m_mutex);
        if (m_state.record.stat[line] == 4)
            m_state.record.stat[line] = 1;
    }
    m_changed.notify_all();
}

void EmulatedAdapter::setSignalLevel(int line, std::int8_t level)
{
    if (line < 0 || line >= kLineCount)
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_state.record.rssi[line] = level;
    }
    m_changed.notify_all();
}

void EmulatedAdapter::setUssdAnswer(std::string_view text)
{
    const std::lock_guard lock(m_mutex);
    m_ussdAnswer = text.substr(0, sizeof m_state.record.usd_txt - 1);
}

void EmulatedAdapter::sendText(std::span<const std::uint8_t> text)
{
    const std::lock_guard lock(m_mutex);
    reply(AdapterCommand::Text, text);
}

void EmulatedAdapter::enterBootLoader()
{
    restart(Restart::IntoBootLoader);
}

void EmulatedAdapter::leaveBootLoader()
{
    restart(Restart::IntoFirmware);
}

void EmulatedAdapter::withholdReply(std::uint8_t cmd, int occurrence)
{
    const std::lock_guard lock(m_mutex);
    m_withheld.emplace(cmd, occurrence);
}

void EmulatedAdapter::ignoreMessage(std::uint8_t cmd, int occurrence)
{
    const std::lock_guard lock(m_mutex);
    m_ignored.emplace(cmd, occurrence);
}

void EmulatedAdapter::delayReplies(std::uint8_t cmd, std::chrono::milliseconds delay)
{
    const std::lock_guard lock(m_mutex);
    m_delays[cmd] = delay;
}

void EmulatedAdapter::frameReceived(std::span<const std::uint8_t> frame)
{
    Restart target = Restart::None;
    {
        const std::lock_guard lock(m_mutex);
        if (std::optional<ReceivedMessage> message = m_collector.take(frame))
            handleMessage(message->cmd, message->payload);
        target = std::exchange(m_pendingRestart, Restart::None);
    }
    m_changed.notify_all();
    // A reply still on its way goes out before the adapter restarts, as on the real hardware.
    if (target != Restart::None)
        whenDrained([this, target] { restart(target); });
}

void EmulatedAdapter::handleMessage(std::uint8_t cmd, std::span<const std::uint8_t> payload)
{
    const int occurrence = m_seen[cmd]++;
    if (matches(m_ignored, cmd, occurrence))
        return;
    m_state.received.push_back({cmd, {payload.begin(), payload.end()}});
    m_withholdCurrent = matches(m_withheld, cmd, occurrence);
    advanceClock();
    if (m_state.bootMode)
        handleBoot(cmd, payload);
    else
        handleNormal(cmd, payload);
    m_withholdCurrent = false;
}

void EmulatedAdapter::handleNormal(std::uint8_t cmd, std::span<const std::uint8_t> payload)
{
    switch (AdapterCommand{cmd}) {
    case AdapterCommand::WriteRecord:
        if (payload.size() >= kRecordSize) {
            DeviceRecord host;
            std::memcpy(&host, payload.data(), kRecordSize);
            takeHostRecord(host);
            actOnCallRequests();
        }
        reply(AdapterCommand::WriteRecord, m_state.record.bytes());
        break;
    case AdapterCommand::Poll:
        reply(AdapterCommand::Poll, m_state.record.bytes());
        break;
    case AdapterCommand::EnterBootLoader:
        m_pendingRestart = Restart::IntoBootLoader;
        break;
    default:
        break; // the firmware knows no other command
    }
}

void EmulatedAdapter::handleBoot(std::uint8_t cmd, std::span<const std::uint8_t> payload)
{
    switch (AdapterCommand{cmd}) {
    case AdapterCommand::ImageChunk:
        m_state.image.insert(m_state.image.end(), payload.begin(), payload.end());
        reply(AdapterCommand::ImageChunk, {});
        break;
    case AdapterCommand::ImageEnd: {
        const std::uint8_t result = m_updateSucceeds && imageIsExpected() ? 1 : 0;
        reply(AdapterCommand::ImageEnd, std::span(&result, 1));
        m_pendingRestart = Restart::IntoFirmware;
        break;
    }
    case AdapterCommand::LeaveUpdate:
        m_pendingRestart = Restart::IntoFirmware;
        break;
    case AdapterCommand::ResetSettings:
        resetSettings();
        reply(AdapterCommand::ResetSettings, {});
        break;
    default:
        break; // polls and records get no answer from the boot loader
    }
}

void EmulatedAdapter::takeHostRecord(const DeviceRecord &host)
{
    DeviceRecord &own = m_state.record;
    own.act_line = host.act_line;
    std::copy(std::begin(host.resp), std::end(host.resp), std::begin(own.resp));
    std::copy(std::begin(host.subscriber), std::end(host.subscriber), std::begin(own.subscriber));
    std::copy(std::begin(host.contact), std::end(host.contact), std::begin(own.contact));
    std::copy(std::begin(host.call_list), std::end(host.call_list), std::begin(own.call_list));
    own.mic_gain = host.mic_gain;
    own.spk_gain = host.spk_gain;
    std::copy(std::begin(host.auto_answer), std::end(host.auto_answer), std::begin(own.auto_answer));
}

void EmulatedAdapter::actOnCallRequests()
{
    DeviceRecord &record = m_state.record;
    for (int line = 0; line < kLineCount; ++line) {
        if (record.resp[line] == 1 && record.stat[line] <= 1 && isUssdRequest(record.subscriber[line])) {
            copyText(record.usd_txt, m_ussdAnswer);
        } else if (record.resp[line] == 1 && record.stat[line] <= 1) {
            record.stat[line] = 2;
            m_dialDone[line] = Clock::now() + m_dialDelay;
            pushCallList(record.subscriber[line]);
        } else if (record.resp[line] == -1 && record.stat[line] >= 2) {
            record.stat[line] = 1;
            m_dialDone[line].reset();
        }
        // A request is used up once looked at, whether or not the line's state allowed it.
        record.resp[line] = 0;
    }
}

void EmulatedAdapter::pushCallList(const PartyEntry &party)
{
    PartyEntry(&list)[kCallListCount] = m_state.record.call_list;
    std::copy_backward(std::begin(list), std::end(list) - 1, std::end(list));
    list[0] = party;
}

void EmulatedAdapter::advanceClock() const
{
    const Clock::time_point now = Clock::now();
    for (int line = 0; line < kLineCount; ++line) {
        if (m_dialDone[line] && now >= *m_dialDone[line]) {
            if (m_state.record.stat[line] == 2)
                m_state.record.stat[line] = 3;
            m_dialDone[line].reset();
        }
    }
}

void EmulatedAdapter::reply(AdapterCommand cmd, std::span<const std::uint8_t> payload)
{
    if (m_withholdCurrent)
        return;
    if (m_rememberSent && (cmd == AdapterCommand::Poll || cmd == AdapterCommand::WriteRecord))
        m_sentRecords.emplace(payload.begin(), payload.end());
    const auto delay = m_delays.find(static_cast<std::uint8_t>(cmd));
    bool first = true;
    for (const WireFrame &frame : wireFrames(static_cast<std::uint8_t>(cmd), payload)) {
        sendFrame(frame, first && delay != m_delays.end() ? delay->second : std::chrono::milliseconds{});
        first = false;
    }
}

void EmulatedAdapter::restart(Restart target)
{
    const bool boot = target == Restart::IntoBootLoader;
    replug([&] {
        {
            const std::lock_guard lock(m_mutex);
            m_state.bootMode = boot;
            if (boot)
                m_state.image.clear();
            ++m_state.restarts;
            // Whatever was half received is lost with the restart.
            m_collector = {};
        }
        setProduct(boot ? m_identity.bootProduct : m_identity.product);
        setSerialNumber(boot && !m_identity.bootLoaderSerial ? QString() : m_identity.serialNumber);
    });
    m_changed.notify_all();
}

void EmulatedAdapter::resetSettings()
{
    DeviceRecord &record = m_state.record;
    DeviceRecord fresh;
    setDefaults(fresh);
    std::copy(std::begin(record.stat), std::end(record.stat), std::begin(fresh.stat));
    std::copy(std::begin(record.rssi), std::end(record.rssi), std::begin(fresh.rssi));
    std::copy(std::begin(record.sim_pres), std::end(record.sim_pres), std::begin(fresh.sim_pres));
    std::memcpy(fresh.ops, record.ops, sizeof record.ops);
    std::memcpy(fresh.usd_txt, record.usd_txt, sizeof record.usd_txt);
    std::memcpy(fresh.ussd_num, record.ussd_num, sizeof record.ussd_num);
    record = fresh;
}

bool EmulatedAdapter::imageIsExpected() const
{
    if (!m_expectedImage)
        return true;
    const std::vector<std::uint8_t> &payload = *m_expectedImage;
    const std::vector<std::uint8_t> &image = m_state.image;
    const std::size_t chunks = (payload.size() + kFirmwareChunkSize - 1) / kFirmwareChunkSize;
    return image.size() == chunks * kFirmwareChunkSize && std::equal(payload.begin(), payload.end(), image.begin());
}

bool EmulatedAdapter::matches(const std::multimap<std::uint8_t, int> &rules, std::uint8_t cmd, int occurrence)
{
    const auto [first, last] = rules.equal_range(cmd);
    return std::any_of(first, last,
                       [occurrence](const auto &rule) { return rule.second == kEvery || rule.second == occurrence; });
}

} // namespace vestra7
