// SPDX-License-Identifier: GPL-3.0-or-later
// The link's logging categories; all stay quiet below warnings unless switched on (--verbose, or
// QT_LOGGING_RULES="vestra7.*.debug=true").
#pragma once

#include <QLoggingCategory>

namespace vestra7 {

Q_DECLARE_LOGGING_CATEGORY(lcHid)    // "vestra7.hid": devices found, opened, lost
Q_DECLARE_LOGGING_CATEGORY(lcLink)   // "vestra7.link": messages sent and received, the adapter's state
Q_DECLARE_LOGGING_CATEGORY(lcUpdate) // "vestra7.update": the firmware update's steps

} // namespace vestra7
