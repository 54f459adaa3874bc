// SPDX-License-Identifier: GPL-3.0-or-later
// How long the long runs go on, from the environment; the short defaults keep the test suite quick.
#pragma once

#include <chrono>

namespace vestra7 {

std::chrono::seconds secondsFromEnvironment(const char *name, std::chrono::seconds fallback);
int countFromEnvironment(const char *name, int fallback);

} // namespace vestra7
