// SPDX-License-Identifier: GPL-3.0-or-later
// Automatic backups of the adapter's record, kept per adapter as configuration files.
#pragma once

#include "model/backup_step.h"
#include "model/device_record.h"
#include "model/result.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace vestra7 {

struct BackupInfo
{
    QDateTime time; // UTC, to the millisecond
    BackupStep step = BackupStep::Unknown;
    std::optional<int> phoneBookEntries; // none when the file is no longer a whole record
    QString path;
};

struct AdapterBackups
{
    QString serial;
    std::vector<BackupInfo> backups; // newest first
};

struct StoredBackup
{
    QString path;               // the backup that holds the record
    bool alreadyStored = false; // the newest backup held the same record, so nothing was written
};

// Each adapter has a folder under the root, named after its serial number, with one file per
// backup named after the time it was taken: <root>/<serial>/<yyyyMMdd-HHmmss-zzz>.cfg. Each file is
// exactly a configuration file, so the user can load one by hand too.
class BackupStore final
{
public:
    using Clock = std::function<QDateTime()>;
    static constexpr int kDefaultLimit = 50;

    explicit BackupStore(QString root, Clock clock = &QDateTime::currentDateTimeUtc, int limit = kDefaultLimit);

    // Where the program keeps its backups: "<application name>" under the user's data folder
    // ($XDG_DATA_HOME, or ~/.local/share when that is unset or not absolute). Empty without a home.
    static QString defaultRoot();

    // Stores the record, as a private file in a private folder, unless the adapter's newest backup
    // holds the same bytes, then removes the backups stored first beyond the limit. A new backup is
    // named after the newest one even when the clock says otherwise, so it is never the one pruned.
    Result<StoredBackup> backUp(const QString &serial, const DeviceRecord &record, BackupStep step);

    const QString &root() const { return m_root; }
    std::vector<BackupInfo> backups(const QString &serial) const;
    // Every adapter with backups, the one backed up most recently first.
    std::vector<AdapterBackups> allBackups() const;

    // The adapter's folder. A serial number may hold any character, so the name is percent-encoded,
    // which also lets the serial be read back from it; a name longer than a folder name may be keeps
    // its start and ends in "#" and a hash of the whole serial, which the index then holds.
    QString folderFor(const QString &serial) const;

private:
    std::vector<BackupInfo> backupsIn(const QString &folder) const;
    Result<void> prepareFolder(const QString &folder) const;

    QString m_root;
    Clock m_clock;
    int m_limit;
};

// Reads a backup back: a file of exactly one record's bytes.
Result<DeviceRecord> readBackup(const QString &path);

} // namespace vestra7
