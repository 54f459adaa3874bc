// Whole-record operations on the device record.
#include "model/device_record.h"

#include <algorithm>
#include <cstring>

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

PartyEntry *activeSubscriber(DeviceRecord &record)
{
    return record.act_line < kLineCount ? &record.subscriber[record.act_line] : nullptr;
}

const PartyEntry *activeSubscriber(const DeviceRecord &record)
{
    return record.act_line < kLineCount ? &record.subscriber[record.act_line] : nullptr;
}
