// SPDX-License-Identifier: GPL-3.0-or-later
// Which of two firmware versions is the newer, as "1.3.0" and "1.2" name them.
#pragma once

#include <QString>

namespace vestra7 {

enum class VersionOrder { Older, Same, Newer, Unknown };

// How `version` stands to `other`: the numbers between the dots compared in turn, a missing one
// counting as 0, so "1.3" is "1.3.0" and "1.10" comes after "1.9". Unknown when either is empty or
// holds anything but numbers and dots.
VersionOrder compareVersions(const QString &version, const QString &other);

} // namespace vestra7
