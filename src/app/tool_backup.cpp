// SPDX-License-Identifier: GPL-3.0-or-later
// Backing an adapter's record up before a command replaces it.
#include "app/tool_backup.h"

#include "app/tool_text.h"
#include "backups/backup_policy.h"

#include <QCoreApplication>

namespace vestra7 {

Result<QString, ToolOutcome> commandBackup(BackupPolicy &policy, const ToolCommand &command, BackupStep step,
                                           QIODevice &err)
{
    const Result<QString> attempt = command.dryRun ? policy.planBefore(step) : policy.backUpBefore(step);
    if (attempt)
        return *attempt;
    if (!command.noBackup)
        return ToolOutcome{ToolExit::Failed,
                           QCoreApplication::translate("ToolRunner",
                                                       "Cannot back up the adapter's record: %1 Nothing was written; "
                                                       "--no-backup goes on without a backup.")
                               .arg(attempt.error().message),
                           {}};
    writeToolError(
        err, QCoreApplication::translate("ToolRunner", "Going on without a backup: %1").arg(attempt.error().message));
    return QString();
}

QString backupNoteText(const ToolCommand &command, const QString &backup)
{
    if (backup.isEmpty())
        return {};
    return command.dryRun ? QCoreApplication::translate("ToolRunner", ", after a backup into %1").arg(backup)
                          : QCoreApplication::translate("ToolRunner", " (backed up first to %1)").arg(backup);
}

} // namespace vestra7
