// SPDX-License-Identifier: GPL-3.0-or-later
// Run lengths from the environment.
#include "run_length.h"

#include <QtGlobal>

namespace vestra7 {

std::chrono::seconds secondsFromEnvironment(const char *name, std::chrono::seconds fallback)
{
    return std::chrono::seconds(countFromEnvironment(name, static_cast<int>(fallback.count())));
}

int countFromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

} // namespace vestra7
