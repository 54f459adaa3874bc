// SPDX-License-Identifier: GPL-3.0-or-later
// Automatic backups of the adapter's record, kept per adapter as configuration files.
#pragma once

#include "model/backup_step.h"
#include "model/device_record.h"
#include "model/result.h"
#include "model/store_identity.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace vestra7 {

struct BackupInfo
{
    QDateTime time;                        // UTC, to the millisecond
    BackupStep step = BackupStep::Unknown; // the last step it preceded
    std::vector<BackupStep> steps;         // every step it preceded, the first it was taken for first
    std::optional<int> phoneBookEntries;   // none when the file is no longer a whole record
    QString path;
};

struct AdapterBackups
{
    StoreIdentity identity;
    std::vector<BackupInfo> backups; // newest first
    // Kept under a serial number alone that is empty, or that adapters kept by their port also have
    // (a twin has joined since): they may be of any adapter with that serial number.
    bool mayBeOfSeveral = false;
};

struct StoredBackup
{
    QString path;               // the backup that holds the record
    bool alreadyStored = false; // the newest backup held the same record, so nothing was written
};

// Each adapter has a folder under the root, named after its identity (its serial number, and its port
// where the serial does not tell it apart), with one file per backup named after the time it was
// taken: <root>/<serial>[@<port>]/<yyyyMMdd-HHmmss-zzz>.cfg. Each file is exactly a configuration
// file, so the user can load one by hand too. Programs backing up one adapter at once take turns.
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
    // holds the same bytes, which then notes the step too; then removes the backups stored first
    // beyond the limit. A new backup is named after the newest one even when the clock says
    // otherwise, so it is never the one pruned.
    Result<StoredBackup> backUp(const StoreIdentity &adapter, const DeviceRecord &record, BackupStep step);

    const QString &root() const { return m_root; }
    std::vector<BackupInfo> backups(const StoreIdentity &adapter) const;
    // Every adapter with backups, the one backed up most recently first.
    std::vector<AdapterBackups> allBackups() const;

    // The adapter's folder. A serial number may hold any character, so the name is percent-encoded,
    // which also lets the serial be read back from it, and the port follows an "@"; a name longer
    // than a folder name may be keeps its start and ends in "#" and a hash of the whole identity,
    // which the index then holds.
    QString folderFor(const StoreIdentity &adapter) const;

private:
    std::vector<BackupInfo> backupsIn(const QString &folder) const;
    Result<void> prepareFolder(const QString &folder) const;
    // Writes the record as the folder's newest backup and prunes the oldest; the names, oldest first.
    Result<QStringList> storeNew(const QString &folder, QStringList names, const DeviceRecord &record) const;

    QString m_root;
    Clock m_clock;
    int m_limit;
};

// Reads a backup back: a file of exactly one record's bytes.
Result<DeviceRecord> readBackup(const QString &path);

} // namespace vestra7
