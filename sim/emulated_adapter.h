// SPDX-License-Identifier: GPL-3.0-or-later
// An emulated VESTRA7: the adapter's side of the protocol over an emulated HID device, with its
// record, its two lines, its boot loader, and controls for tests.
#pragma once

#include "sim/emulated_hid_device.h"
#include "sim/wire_codec.h"

#include "model/device_record.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vestra7 {

struct EmulatedIdentity
{
    QString manufacturer = QStringLiteral("TARNIX");
    QString product = QStringLiteral("VESTRA7");
    QString bootProduct = QStringLiteral("VESTRA7 (boot)");
    QString serialNumber = QStringLiteral("V7-2041-000117");
    std::uint16_t version = 0x0102;
    // Whether the boot loader reports the serial number too; without it, only the port it is
    // plugged into tells it apart from another adapter's boot loader.
    bool bootLoaderSerial = true;

    // Another adapter of the same kind: only its serial number differs.
    static EmulatedIdentity withSerialNumber(QString serial)
    {
        EmulatedIdentity identity;
        identity.serialNumber = std::move(serial);
        return identity;
    }
};

// What tests look at.
struct AdapterState
{
    DeviceRecord record{};
    bool bootMode = false;
    std::vector<std::uint8_t> image; // appended by the boot loader's chunks since it was entered
    // Every message that passed its CRC check, in order, but those lost through ignoreMessage().
    std::vector<ReceivedMessage> received;
    int restarts = 0; // times it left the bus and came back
};

// The state a new adapter starts with: settings at their defaults, both lines ready to call.
DeviceRecord initialAdapterRecord();

class EmulatedAdapter final : public EmulatedHidDevice
{
public:
    static constexpr int kEvery = -1;

    explicit EmulatedAdapter(EmulatedIdentity identity = {});
    ~EmulatedAdapter() override;

    const EmulatedIdentity &identity() const { return m_identity; }

    AdapterState state() const;
    // Waits until `condition` holds for the state (checked at every change and when a call comes
    // through); false when the time ran out first.
    bool waitFor(const std::function<bool(const AdapterState &)> &condition,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    void clearReceived();

    // Behaviour.
    void setRecord(const DeviceRecord &record);
    // How long a call stays at state 2 (dialling) before it is 3 (in call). 300 ms at first.
    void setDialDelay(std::chrono::milliseconds delay);
    // The result that command 250 reports.
    void setUpdateResult(bool success);
    // The firmware the boot loader is meant to receive, as the update file carries it. From then on
    // command 250 also checks the image the chunks have built since the boot loader was entered, as
    // the adapter does before it starts new firmware: the payload, its last chunk filled up to full
    // size, and nothing else. Any other image (a chunk missing, repeated or damaged) makes 250
    // report failure.
    void expectImage(std::vector<std::uint8_t> payload);
    // Keeps every distinct record the adapter sends from now on, for hasSentRecord().
    void rememberSentRecords();
    // Whether it has sent exactly this record since rememberSentRecords().
    bool hasSentRecord(const DeviceRecord &record) const;
    // An incoming call: the line goes to state 4 with the party as its current one, and the party
    // heads the call list.
    void raiseIncomingCall(int line, const PartyEntry &party);
    // The caller of an incoming call on `line` gives up: a line still ringing goes back to idle.
    void endIncomingCall(int line);
    // What the lines report of their health, as the radio part would change it.
    void setSignalLevel(int line, std::int8_t level);
    // The answer to a USSD request: a call placed to a number of the form "*…#" leaves the line ready
    // and puts this text (at most 127 bytes, in the adapter's code page) into the record.
    void setUssdAnswer(std::string_view text);
    // An unsolicited text message (command 1).
    void sendText(std::span<const std::uint8_t> text);
    // Leaves and comes back as its boot loader, as command 251 makes it.
    void enterBootLoader();
    // Leaves and comes back running its firmware, as the end of an update makes it. A restart still
    // waiting for the host to read on is dropped.
    void leaveBootLoader();

    // Faults. `occurrence` counts the messages with that code that passed their CRC, from 0.
    // The message acts, but its reply is not sent.
    void withholdReply(std::uint8_t cmd, int occurrence = kEvery);
    // The message is lost: it neither acts nor is answered.
    void ignoreMessage(std::uint8_t cmd, int occurrence = kEvery);
    // Replies to `cmd` leave this much later.
    void delayReplies(std::uint8_t cmd, std::chrono::milliseconds delay);

protected:
    void frameReceived(std::span<const std::uint8_t> frame) override;

private:
    enum class Restart { None, IntoBootLoader, IntoFirmware };

    void handleMessage(std::uint8_t cmd, std::span<const std::uint8_t> payload);
    void handleNormal(std::uint8_t cmd, std::span<const std::uint8_t> payload);
    void handleBoot(std::uint8_t cmd, std::span<const std::uint8_t> payload);
    void takeHostRecord(const DeviceRecord &host);
    void actOnCallRequests();
    void pushCallList(const PartyEntry &party);
    void advanceClock() const;
    void reply(AdapterCommand cmd, std::span<const std::uint8_t> payload);
    void restart(Restart target);
    void resetSettings();
    bool imageIsExpected() const;
    static bool matches(const std::multimap<std::uint8_t, int> &rules, std::uint8_t cmd, int occurrence);

    const EmulatedIdentity m_identity;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    mutable AdapterState m_state;
    mutable std::optional<Clock::time_point> m_dialDone[kLineCount];
    std::chrono::milliseconds m_dialDelay{300};
    std::string m_ussdAnswer;
    bool m_updateSucceeds = true;
    std::optional<std::vector<std::uint8_t>> m_expectedImage;
    bool m_rememberSent = false;
    std::set<std::string> m_sentRecords;
    std::map<std::uint8_t, int> m_seen;
    std::multimap<std::uint8_t, int> m_withheld;
    std::multimap<std::uint8_t, int> m_ignored;
    std::map<std::uint8_t, std::chrono::milliseconds> m_delays;
    Restart m_pendingRestart = Restart::None;
    bool m_withholdCurrent = false;
    WireCollector m_collector;
};

} // namespace vestra7
