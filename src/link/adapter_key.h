// SPDX-License-Identifier: GPL-3.0-or-later
// The key that names one adapter among those plugged in: its serial number, with its USB port
// where the serial number alone does not tell it apart.
#pragma once

#include "model/store_identity.h"

#include <QString>

#include <vector>

namespace vestra7 {

// One key per adapter, in the order given, each different from the others. An adapter whose serial
// number is its own is keyed by it alone, so that the key stays the same in any port; an empty
// serial number, or one that another adapter shares, is followed by "@" and the port ("DUP@1-2"): the
// same rule that files the adapter's backups (StoreIdentity).
std::vector<QString> adapterKeys(const std::vector<AdapterAddress> &adapters);

} // namespace vestra7
