// SPDX-License-Identifier: GPL-3.0-or-later
// The identity under which an adapter's backups and records are kept.
#include "model/store_identity.h"

#include <algorithm>

namespace vestra7 {

bool isSharedOrEmpty(const std::vector<QString> &names, const QString &name)
{
    return name.isEmpty() || std::count(names.begin(), names.end(), name) > 1;
}

std::vector<StoreIdentity> storeIdentities(const std::vector<AdapterAddress> &adapters)
{
    std::vector<QString> serials;
    serials.reserve(adapters.size());
    for (const AdapterAddress &adapter : adapters)
        serials.push_back(adapter.serial);
    std::vector<StoreIdentity> identities;
    identities.reserve(adapters.size());
    for (const AdapterAddress &adapter : adapters)
        identities.emplace_back(adapter.serial, isSharedOrEmpty(serials, adapter.serial) ? adapter.port : QString());
    return identities;
}

} // namespace vestra7
