// SPDX-License-Identifier: GPL-3.0-or-later
// The note kept beside an adapter's backups of the step each one preceded.
#pragma once

#include "model/backup_step.h"
#include "model/result.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <vector>

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

    // The adapter's serial number and port, for a folder whose name is too long to hold all of them.
    const QString &serial() const { return m_serial; }
    const QString &port() const { return m_port; }
    void setAdapter(const QString &serial, const QString &port)
    {
        m_serial = serial;
        m_port = port;
    }

    // Every step the backup preceded, the first it was taken for first: a step whose record the
    // newest backup already held is noted on that backup. {Unknown} when the note is lost.
    std::vector<BackupStep> steps(const QString &backupName) const;
    // Notes that the backup preceded `step`, once.
    void addStep(const QString &backupName, BackupStep step);
    // Forgets the backups not named, as after pruning.
    void keepOnly(const QStringList &backupNames);

private:
    QString m_serial;
    QString m_port;
    QMap<QString, std::vector<BackupStep>> m_steps;
};

} // namespace vestra7
