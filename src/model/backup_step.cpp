// SPDX-License-Identifier: GPL-3.0-or-later
// Names of the backup steps.
#include "model/backup_step.h"

#include <QCoreApplication>

#include <array>

namespace vestra7 {

namespace {

struct StepNames
{
    BackupStep step;
    const char *key;
    const char *text;
};

constexpr std::array kSteps{
    StepNames{BackupStep::Unknown, "unknown", QT_TRANSLATE_NOOP("BackupStep", "Unknown step")},
    StepNames{BackupStep::FirstSeen, "first-seen", QT_TRANSLATE_NOOP("BackupStep", "First seen in this session")},
    StepNames{BackupStep::SetToDefault, "set-to-default", QT_TRANSLATE_NOOP("BackupStep", "Before \"Set to default\"")},
    StepNames{BackupStep::ResetSettings, "reset-settings",
              QT_TRANSLATE_NOOP("BackupStep", "Before \"Reset settings\"")},
    StepNames{BackupStep::LoadFromFile, "load-from-file", QT_TRANSLATE_NOOP("BackupStep", "Before \"Load from file\"")},
    StepNames{BackupStep::FirmwareUpdate, "firmware-update",
              QT_TRANSLATE_NOOP("BackupStep", "Before a firmware update")},
    StepNames{BackupStep::DeleteContact, "delete-contact",
              QT_TRANSLATE_NOOP("BackupStep", "Before deleting a phone-book entry")},
    StepNames{BackupStep::DeleteCallListEntry, "delete-call-list-entry",
              QT_TRANSLATE_NOOP("BackupStep", "Before deleting a call-list entry")},
    StepNames{BackupStep::ImportContacts, "import-contacts",
              QT_TRANSLATE_NOOP("BackupStep", "Before importing contacts")},
    StepNames{BackupStep::Restore, "restore", QT_TRANSLATE_NOOP("BackupStep", "Before restoring a backup")},
    StepNames{BackupStep::ReplaceContact, "replace-contact",
              QT_TRANSLATE_NOOP("BackupStep", "Before replacing a phone-book entry")},
};

const StepNames &namesOf(BackupStep step)
{
    for (const StepNames &names : kSteps) {
        if (names.step == step)
            return names;
    }
    return kSteps.front();
}

} // namespace

QString backupStepText(BackupStep step)
{
    return QCoreApplication::translate("BackupStep", namesOf(step).text);
}

QString backupStepKey(BackupStep step)
{
    return QLatin1String(namesOf(step).key);
}

BackupStep backupStepFromKey(const QString &key)
{
    for (const StepNames &names : kSteps) {
        if (key == QLatin1String(names.key))
            return names.step;
    }
    return BackupStep::Unknown;
}

} // namespace vestra7
