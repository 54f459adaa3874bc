// SPDX-License-Identifier: GPL-3.0-or-later
// The steps before which the adapter's record is backed up, with their names for the user.
#pragma once

#include <QString>

#include <optional>

namespace vestra7 {

enum class BackupStep {
    Unknown, // the backup's note is lost; the backup itself is not
    FirstSeen,
    SetToDefault,
    ResetSettings,
    LoadFromFile,
    FirmwareUpdate,
    DeleteContact,
    DeleteCallListEntry,
    ImportContacts,
    Restore,
    ReplaceContact,
};

QString backupStepText(BackupStep step);

// The name a backup index stores, which stays the same whatever language the user reads.
QString backupStepKey(BackupStep step);
BackupStep backupStepFromKey(const QString &key);

} // namespace vestra7
