// SPDX-License-Identifier: GPL-3.0-or-later
// The message for an adapter that is present but may not be opened: what the user must learn from it.
#include "ui/access_problem.h"

#include <QTextDocument>

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

const QString kRuleFile = QStringLiteral("/usr/lib/udev/rules.d/70-vestra7.rules");
const QString kReload = QStringLiteral("sudo udevadm control --reload-rules && sudo udevadm trigger");

} // namespace

TEST(AccessProblemText, InstalledRuleNamesTheRuleTheReloadAndReplugging)
{
    const QString text = accessProblemText(QStringLiteral("Permission denied"), kRuleFile, true);
    EXPECT_TRUE(text.startsWith(QStringLiteral("The VESTRA7 adapter was found but cannot be opened.\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Reason: Permission denied\n")));
    EXPECT_TRUE(text.contains(kRuleFile));
    EXPECT_TRUE(text.contains(kReload));
    EXPECT_TRUE(text.contains(QStringLiteral("unplug the adapter and plug it in again")));
    EXPECT_FALSE(text.contains(QStringLiteral("not installed")));
}

TEST(AccessProblemText, MissingRuleSaysHowToInstallItBeforeReloading)
{
    const QString text = accessProblemText(QStringLiteral("Permission denied"), kRuleFile, false);
    EXPECT_TRUE(text.contains(kRuleFile + QStringLiteral(", which gives the logged-in user access")));
    EXPECT_TRUE(text.contains(QStringLiteral("is not installed")));
    EXPECT_TRUE(text.contains(QStringLiteral("vestra7 package")));
    EXPECT_TRUE(text.contains(QStringLiteral("sudo cmake --install")));
    EXPECT_LT(text.indexOf(QStringLiteral("is not installed")), text.indexOf(kReload));
}

TEST(AccessProblemText, ReasonIsTrimmedAndLeftOutWhenBlank)
{
    const QString padded = accessProblemText(QStringLiteral("  Operation not permitted\n"), kRuleFile, true);
    EXPECT_TRUE(padded.contains(QStringLiteral("\nReason: Operation not permitted\n\n")));

    for (const QString &blank : {QString(), QStringLiteral(" \n")}) {
        const QString text = accessProblemText(blank, kRuleFile, true);
        EXPECT_FALSE(text.contains(QStringLiteral("Reason:")));
        EXPECT_TRUE(
            text.startsWith(QStringLiteral("The VESTRA7 adapter was found but cannot be opened.\n\nThe udev rule")));
    }
}

TEST(AccessProblemText, MarkupInTheReasonIsShownAsItStands)
{
    // Message boxes guess rich text from the first line; a reason there could hide itself as a tag.
    const QString text = accessProblemText(QStringLiteral("<b>no access</b>"), kRuleFile, true);
    EXPECT_FALSE(Qt::mightBeRichText(text));
    EXPECT_TRUE(text.contains(QStringLiteral("Reason: <b>no access</b>")));
}

} // namespace vestra7
