// SPDX-License-Identifier: GPL-3.0-or-later
// What the program says when a signal ends it in the middle of a firmware transfer.
#pragma once

#include <QString>

namespace vestra7 {

// Names the adapter left in its boot loader (by serial number, else by product) and the way back.
QString interruptedUpdateText(const QString &serial, const QString &product);

} // namespace vestra7
