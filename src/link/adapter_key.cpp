// SPDX-License-Identifier: GPL-3.0-or-later
// Keys that tell the adapters plugged in apart.
#include "link/adapter_key.h"

namespace vestra7 {

std::vector<QString> adapterKeys(const std::vector<AdapterAddress> &adapters)
{
    std::vector<QString> keys;
    keys.reserve(adapters.size());
    for (const AdapterAddress &adapter : adapters)
        keys.push_back(adapter.serial);
    // A serial number may itself end in "@port" and so meet another's key once that has its port
    // added: add ports until no two keys are the same. Ports are unique on one bus, so a second pass
    // ends it; the place in the list is the last resort of a backend that names no ports.
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<QString> before = keys;
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (isSharedOrEmpty(before, before[i]))
                keys[i] = before[i] + QLatin1Char('@') + adapters[i].port;
    }
    const std::vector<QString> before = keys;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (isSharedOrEmpty(before, before[i]))
            keys[i] = before[i] + QLatin1Char('#') + QString::number(i + 1);
    return keys;
}

} // namespace vestra7
