// SPDX-License-Identifier: GPL-3.0-or-later
// The message shown when the adapter is present but this user may not open it.
#pragma once

#include <QString>

namespace vestra7 {

// `reason` is the system's account of the failure. `ruleFile` is the udev rule that gives the
// logged-in user access to the adapter, `ruleInstalled` whether it is in place. The first line
// never carries the reason, so a reason that looks like markup cannot turn the text into rich text.
QString accessProblemText(const QString &reason, const QString &ruleFile, bool ruleInstalled);

// The same for the rule this build installs, looked for where the install puts it.
QString accessProblemText(const QString &reason);

} // namespace vestra7
