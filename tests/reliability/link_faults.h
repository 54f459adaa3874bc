// SPDX-License-Identifier: GPL-3.0-or-later
// The faulty link of the reliability tests: of the adapter's reports 5 % damaged and 2 % lost, of
// the program's reports 2 % lost.
#pragma once

#include "run_length.h"

#include "sim/emulated_hid_device.h"

namespace vestra7 {

// The seed of the faults and of the edits: VESTRA7_FAULT_SEED, 7 unless set.
inline std::uint32_t faultSeed()
{
    return static_cast<std::uint32_t>(countFromEnvironment("VESTRA7_FAULT_SEED", 7));
}

inline LinkFaults faultyLink(std::uint32_t seed)
{
    LinkFaults faults;
    faults.corruptToHost = 0.05;
    faults.dropToHost = 0.02;
    faults.dropToDevice = 0.02;
    faults.seed = seed;
    return faults;
}

} // namespace vestra7
