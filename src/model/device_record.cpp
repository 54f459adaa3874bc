// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-record operations on the device record.
#include "model/device_record.h"

#include <algorithm>
#include <cstring>

namespace vestra7 {

void setDefaults(DeviceRecord &record)
{
    std::memset(&record, 0, sizeof record);
    record.mic_gain = kDefaultMicGain;
    record.spk_gain = kDefaultSpkGain;
}

void overwritePrefix(DeviceRecord &record, std::span<const std::uint8_t> bytes)
{
    const std::size_t count = std::min(bytes.size(), kRecordSize);
    std::copy_n(bytes.begin(), count, record.bytes().begin());
}

void removeEntry(std::span<PartyEntry> entries, std::size_t index)
{
    if (index >= entries.size())
        return;
    std::copy(entries.begin() + static_cast<std::ptrdiff_t>(index) + 1, entries.end(),
              entries.begin() + static_cast<std::ptrdiff_t>(index));
    entries.back() = PartyEntry{};
}

bool isEmptyEntry(const PartyEntry &entry)
{
    return entry.name[0] == 0 && entry.number[0] == 0;
}

PartyEntry *activeSubscriber(DeviceRecord &record)
{
    return record.act_line < kLineCount ? &record.subscriber[record.act_line] : nullptr;
}

const PartyEntry *activeSubscriber(const DeviceRecord &record)
{
    return record.act_line < kLineCount ? &record.subscriber[record.act_line] : nullptr;
}

} // namespace vestra7
