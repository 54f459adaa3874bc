// SPDX-License-Identifier: GPL-3.0-or-later
// Records and parties for tests.
#include "support/record_builders.h"

#include <algorithm>
#include <span>

namespace vestra7 {

namespace {

void copyBytes(std::span<std::uint8_t> field, std::string_view text)
{
    std::fill(field.begin(), field.end(), std::uint8_t{0});
    std::copy_n(text.begin(), std::min(text.size(), field.size()), field.begin());
}

} // namespace

DeviceRecord readyRecord()
{
    DeviceRecord record;
    setDefaults(record);
    for (int line = 0; line < kLineCount; ++line) {
        record.sim_pres[line] = 1;
        record.stat[line] = 1;
    }
    record.rssi[0] = -63;
    record.rssi[1] = -79;
    copyBytes(record.ops[0], "Operator A");
    copyBytes(record.ops[1], "Operator B");
    return record;
}

PartyEntry makeParty(std::string_view name, std::string_view number)
{
    PartyEntry party;
    copyBytes(party.name, name);
    copyBytes(party.number, number);
    return party;
}

} // namespace vestra7
