// SPDX-License-Identifier: GPL-3.0-or-later
// The faulty link of the reliability tests: of the adapter's reports 5 % damaged and 2 % lost, of
// the program's reports 2 % lost.
#pragma once

#include "sim/emulated_hid_device.h"

namespace vestra7 {

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
