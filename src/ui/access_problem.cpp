// SPDX-License-Identifier: GPL-3.0-or-later
// The message shown when the adapter is present but this user may not open it.
#include "ui/access_problem.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace vestra7 {

QString accessProblemText(const QString &reason, const QString &ruleFile, bool ruleInstalled)
{
    QString text =
        QCoreApplication::translate("AccessProblem", "The VESTRA7 adapter was found but cannot be opened.\n");
    const QString trimmedReason = reason.trimmed();
    if (!trimmedReason.isEmpty())
        text += QCoreApplication::translate("AccessProblem", "Reason: %1\n").arg(trimmedReason);
    text += u'\n';
    if (ruleInstalled) {
        text += QCoreApplication::translate("AccessProblem",
                                            "The udev rule %1 gives the logged-in user access to the adapter. "
                                            "To apply it now, run\n")
                    .arg(ruleFile);
    } else {
        text += QCoreApplication::translate("AccessProblem",
                                            "The udev rule %1, which gives the logged-in user access to the adapter, "
                                            "is not installed. Install the vestra7 package, or run \"sudo cmake "
                                            "--install\" on your build folder, then run\n")
                    .arg(ruleFile);
    }
    // The command reads the same in every language.
    text += QStringLiteral("\n    sudo udevadm control --reload-rules && sudo udevadm trigger\n\n");
    text += QCoreApplication::translate("AccessProblem", "or unplug the adapter and plug it in again.");
    return text;
}

QString accessProblemText(const QString &reason)
{
    const QString ruleFile = QStringLiteral(VESTRA7_UDEV_RULE_FILE);
    return accessProblemText(reason, ruleFile, QFileInfo::exists(ruleFile));
}

} // namespace vestra7
