// SPDX-License-Identifier: GPL-3.0-or-later
// The link's logging categories.
#include "link/logging.h"

namespace vestra7 {

Q_LOGGING_CATEGORY(lcHid, "vestra7.hid", QtWarningMsg)
Q_LOGGING_CATEGORY(lcLink, "vestra7.link", QtWarningMsg)
Q_LOGGING_CATEGORY(lcUpdate, "vestra7.update", QtWarningMsg)

} // namespace vestra7
