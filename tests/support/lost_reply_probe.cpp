// SPDX-License-Identifier: GPL-3.0-or-later
// The lost-reply probe's cases and what the adapter was sent.
#include "support/lost_reply_probe.h"

namespace vestra7 {

using namespace std::chrono_literals;

std::vector<LostReplyProbe> lostReplyProbes()
{
    return {{1, 400ms}, {3, 1600ms}};
}

std::string lostReplyProbeName(const testing::TestParamInfo<LostReplyProbe> &probe)
{
    return std::to_string(probe.param.lostReplies) + "LostAtStep" + std::to_string(probe.param.stepAt.count()) + "ms";
}

std::vector<DeviceRecord> recordWrites(const AdapterState &state)
{
    std::vector<DeviceRecord> writes;
    for (const ReceivedMessage &m : state.received) {
        if (m.cmd == static_cast<std::uint8_t>(AdapterCommand::WriteRecord) && m.payload.size() == kRecordSize) {
            DeviceRecord record{};
            overwritePrefix(record, m.payload);
            writes.push_back(record);
        }
    }
    return writes;
}

} // namespace vestra7
