// SPDX-License-Identifier: GPL-3.0-or-later
// The note kept beside an adapter's backups of the step each one preceded.
#pragma once

#include "model/backup_step.h"
#include "model/result.h"

#include <QMap>
#include <QString>
#include <QStringList>

namespace vestra7 {

// Only a note: the backup files are the truth, so a missing or unreadable index just loses the
// steps, and a backup the index does not know of is still listed.
class BackupIndex final
{
public:
    static constexpr char kFileName[] = "backups.json";

    // An empty index when the folder has none or it cannot be read.
    static BackupIndex load(const QString &folder);
    // Writes the index as a private file that replaces only a regular one; a failure loses no backup.
    Result<void> save(const QString &folder) const;

    // The adapter's serial number, for a folder whose name is too long to hold all of it.
    const QString &serial() const { return m_serial; }
    void setSerial(const QString &serial) { m_serial = serial; }

    BackupStep step(const QString &backupName) const;
    void setStep(const QString &backupName, BackupStep step);
    // Forgets the backups not named, as after pruning.
    void keepOnly(const QStringList &backupNames);

private:
    QString m_serial;
    QMap<QString, BackupStep> m_steps;
};

} // namespace vestra7
