// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' logging category.
#include "ui/logging.h"

namespace vestra7 {

Q_LOGGING_CATEGORY(lcUi, "vestra7.ui", QtWarningMsg)

} // namespace vestra7
