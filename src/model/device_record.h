// SPDX-License-Identifier: GPL-3.0-or-later
// The adapter's whole state: one packed 1789-byte block, always sent, received and stored whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vestra7 {

inline constexpr std::size_t kPartyTextWidth = 16;

struct PartyEntry
{
    std::uint8_t name[kPartyTextWidth];
    std::uint8_t number[kPartyTextWidth];
};

inline constexpr int kLineCount = 2;
inline constexpr int kContactCount = 32;
inline constexpr int kCallListCount = 16;

// Every field is a single byte or an array of single bytes, so the layout has no padding and no
// byte order; the element types carry the signedness the adapter gives each value.
struct DeviceRecord
{
    std::uint8_t act_line;                // 0 = line A, 1 = line B
    std::uint8_t usd_txt[128];            // USSD text, carried only
    std::int8_t resp[kLineCount];         // call request: 1 call, -1 hang up, 0 none
    PartyEntry subscriber[kLineCount];    // current party of each line
    PartyEntry contact[kContactCount];    // phone book
    PartyEntry call_list[kCallListCount]; // call list
    std::uint8_t sim_pres[kLineCount];    // carried only
    std::int8_t rssi[kLineCount];         // carried only
    std::uint8_t stat[kLineCount];        // line state: 0-1 can call, 3+ in a call
    std::uint8_t ops[kLineCount][16];     // operator names, carried only
    std::int8_t mic_gain;                 // steps of 1.5 dB
    std::int8_t spk_gain;                 // steps of 1 dB ("LINE gain")
    std::uint8_t ussd_num[kLineCount][8]; // carried only
    std::uint8_t auto_answer[kLineCount]; // seconds, 0 = off

    std::span<std::uint8_t> bytes() { return {reinterpret_cast<std::uint8_t *>(this), sizeof *this}; }
    std::span<const std::uint8_t> bytes() const { return {reinterpret_cast<const std::uint8_t *>(this), sizeof *this}; }
};

inline constexpr std::size_t kRecordSize = 1789;

static_assert(sizeof(PartyEntry) == 32);
static_assert(offsetof(PartyEntry, number) == 16);
static_assert(sizeof(DeviceRecord) == kRecordSize);
static_assert(alignof(DeviceRecord) == 1);
static_assert(offsetof(DeviceRecord, act_line) == 0);
static_assert(offsetof(DeviceRecord, usd_txt) == 1);
static_assert(offsetof(DeviceRecord, resp) == 129);
static_assert(offsetof(DeviceRecord, subscriber) == 131);
static_assert(offsetof(DeviceRecord, contact) == 195);
static_assert(offsetof(DeviceRecord, call_list) == 1219);
static_assert(offsetof(DeviceRecord, sim_pres) == 1731);
static_assert(offsetof(DeviceRecord, rssi) == 1733);
static_assert(offsetof(DeviceRecord, stat) == 1735);
static_assert(offsetof(DeviceRecord, ops) == 1737);
static_assert(offsetof(DeviceRecord, mic_gain) == 1769);
static_assert(offsetof(DeviceRecord, spk_gain) == 1770);
static_assert(offsetof(DeviceRecord, ussd_num) == 1771);
static_assert(offsetof(DeviceRecord, auto_answer) == 1787);

inline constexpr std::int8_t kDefaultMicGain = 5;  // +7.5 dB
inline constexpr std::int8_t kDefaultSpkGain = 10; // +10 dB

// All zero but the two gains: line A active, empty books, no call request, auto-answer off.
void setDefaults(DeviceRecord &record);

// Copies the first min(bytes.size(), kRecordSize) bytes over the record, leaving the rest as it is.
void overwritePrefix(DeviceRecord &record, std::span<const std::uint8_t> bytes);

// Removes entry `index`: the entries behind it move up by one place, byte for byte, and the last
// one becomes empty. An index past the end changes nothing.
void removeEntry(std::span<PartyEntry> entries, std::size_t index);

// An entry is empty when both its texts read empty, whatever follows their first zero byte.
bool isEmptyEntry(const PartyEntry &entry);

// The party shown for the active line, or null for an act_line the record has no entry for.
PartyEntry *activeSubscriber(DeviceRecord &record);
const PartyEntry *activeSubscriber(const DeviceRecord &record);

} // namespace vestra7
