// SPDX-License-Identifier: GPL-3.0-or-later
// The "(boot)" mark: which product names are boot loaders, and the model name behind the mark.
#include "model/boot_loader_name.h"

#include <gtest/gtest.h>

namespace vestra7 {

TEST(BootLoaderName, TheMarkCountsFromTheSecondCharacterOn)
{
    EXPECT_TRUE(isBootLoaderName(QStringLiteral("VESTRA7 (boot)")));
    EXPECT_TRUE(isBootLoaderName(QStringLiteral("V(boot)")));
    EXPECT_FALSE(isBootLoaderName(QStringLiteral("(boot)VESTRA7")));
    EXPECT_FALSE(isBootLoaderName(QStringLiteral("VESTRA7 (Boot)")));
    EXPECT_FALSE(isBootLoaderName(QString()));
}

TEST(BootLoaderName, TheModelNameLosesTheFirstMarkAndNothingElse)
{
    EXPECT_EQ(deviceModelName(QStringLiteral("VESTRA7 (boot)")), QStringLiteral("VESTRA7 "));
    EXPECT_EQ(deviceModelName(QStringLiteral("V7(boot)(boot)")), QStringLiteral("V7(boot)"));
    EXPECT_EQ(deviceModelName(QStringLiteral("(boot)VESTRA7")), QStringLiteral("VESTRA7"))
        << "taken out at the start too, where it does not mark a boot loader";
    EXPECT_EQ(deviceModelName(QStringLiteral("VESTRA7")), QStringLiteral("VESTRA7"));
    EXPECT_EQ(deviceModelName(QStringLiteral("VESTRA7 (Boot)")), QStringLiteral("VESTRA7 (Boot)"));
}

} // namespace vestra7
