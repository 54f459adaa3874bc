// SPDX-License-Identifier: GPL-3.0-or-later
// The backup a command takes before it replaces what an adapter holds.
#pragma once

#include "app/tool_command.h"
#include "app/tool_outcome.h"

class QIODevice;

namespace vestra7 {

class BackupPolicy;
enum class BackupStep;

// As the policy says before `step` (in a dry run, where it would go): the backup's path. Stops the
// command when no backup can be made, unless told to go on without one, which `err` hears of; the
// path is empty then.
Result<QString, ToolOutcome> commandBackup(BackupPolicy &policy, const ToolCommand &command, BackupStep step,
                                           QIODevice &err);
// What a command's result says of its backup: " (backed up first to …)".
QString backupNoteText(const ToolCommand &command, const QString &backup);

} // namespace vestra7
