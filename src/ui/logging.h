// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' logging category; quiet below warnings unless switched on (--verbose, or
// QT_LOGGING_RULES="vestra7.ui.debug=true").
#pragma once

#include <QLoggingCategory>

namespace vestra7 {

Q_DECLARE_LOGGING_CATEGORY(lcUi) // "vestra7.ui": the user's commands, the connection as the window shows it

} // namespace vestra7
