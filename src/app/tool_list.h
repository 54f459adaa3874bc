// SPDX-License-Identifier: GPL-3.0-or-later
// `list`: the adapters plugged in, as lines or as JSON.
#pragma once

#include "ports/adapter_port.h"

#include <vector>

class QIODevice;

namespace vestra7 {

// Writes the list to `out` (and that there is none to `err`); returns the exit code.
int listAdapters(const std::vector<PresentAdapter> &adapters, bool json, QIODevice &out, QIODevice &err);

} // namespace vestra7
