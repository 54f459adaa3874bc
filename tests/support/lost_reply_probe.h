// SPDX-License-Identifier: GPL-3.0-or-later
// The lost-reply probe shared by the link's and the whole program's tests: a call press whose writes
// go unanswered, a caller meanwhile, then a gain step whose write must carry the adapter's call list.
#pragma once

#include "sim/emulated_adapter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace vestra7 {

struct LostReplyProbe
{
    int lostReplies;                  // of the press's write and its repeats
    std::chrono::milliseconds stepAt; // the MIC gain step, after the press
};

// One reply lost and the step soon after; three lost and the step late.
std::vector<LostReplyProbe> lostReplyProbes();
std::string lostReplyProbeName(const testing::TestParamInfo<LostReplyProbe> &probe);

// The whole records the adapter was sent to write, in order.
std::vector<DeviceRecord> recordWrites(const AdapterState &state);

} // namespace vestra7
