// SPDX-License-Identifier: GPL-3.0-or-later
// Writing, deduplicating, pruning and listing the adapter's backups.
#include "model/backup_store.h"

#include "model/backup_index.h"
#include "model/party_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>

#include <algorithm>
#include <cstring>

namespace {

// Percent-encoding never yields brackets or blanks, so no serial number is given this folder.
const QString kNoSerialFolder = QStringLiteral("(no serial)");
const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");
const QString kBackupSuffix = QStringLiteral(".cfg");

QString backupName(const QDateTime &time)
{
    return time.toUTC().toString(kTimeFormat) + kBackupSuffix;
}

// Built from date and time apart, so that no local time zone can reject an hour it skips.
QDateTime timeOf(const QString &backupName)
{
    return QDateTime(QDate::fromString(backupName.left(8), QStringLiteral("yyyyMMdd")),
                     QTime::fromString(backupName.mid(9, 10), QStringLiteral("HHmmss-zzz")), Qt::UTC);
}

// Oldest first: the names sort as the times they hold.
QStringList backupNamesIn(const QString &folder)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{8}-\\d{6}-\\d{3}\\.cfg$"));
    QStringList names = QDir(folder).entryList({QStringLiteral("*") + kBackupSuffix}, QDir::Files, QDir::Name);
    names.removeIf([](const QString &name) { return !pattern.match(name).hasMatch(); });
    return names;
}

QString serialOf(const QString &folderName)
{
    return folderName == kNoSerialFolder ? QString() : QUrl::fromPercentEncoding(folderName.toLatin1());
}

bool holdsRecord(const QString &path, const DeviceRecord &record)
{
    DeviceRecord stored;
    return !readBackup(path, stored) && std::memcmp(&stored, &record, sizeof record) == 0;
}

QString writeError(const QString &path, const QString &reason)
{
    return QCoreApplication::translate("BackupStore", "Cannot back up the adapter's record to \"%1\". %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

BackupStore::BackupStore(QString root, Clock clock, int limit)
    : m_root(std::move(root))
    , m_clock(std::move(clock))
    , m_limit(std::max(limit, 1))
{
}

QString BackupStore::folderFor(const QString &serial) const
{
    if (serial.isEmpty())
        return QDir(m_root).filePath(kNoSerialFolder);
    QString name = QString::fromLatin1(QUrl::toPercentEncoding(serial));
    // "." and ".." are not folders of their own, and a leading dot would hide the folder.
    if (name.startsWith(u'.'))
        name.replace(0, 1, QStringLiteral("%2E"));
    return QDir(m_root).filePath(name);
}

BackupOutcome BackupStore::backUp(const QString &serial, const DeviceRecord &record, BackupStep step)
{
    const QString folder = folderFor(serial);
    QStringList names = backupNamesIn(folder);
    if (!names.isEmpty()) {
        const QString newest = QDir(folder).filePath(names.last());
        if (holdsRecord(newest, record))
            return {newest, true, {}};
    }

    if (!QDir().mkpath(folder)) {
        const QString reason = QCoreApplication::translate("BackupStore", "The folder cannot be created.");
        return {{}, false, writeError(folder, reason)};
    }
    // Two backups within one millisecond, or a clock set back, must not overwrite an earlier one.
    QDateTime time = m_clock();
    while (QFile::exists(QDir(folder).filePath(backupName(time))))
        time = time.addMSecs(1);
    const QString name = backupName(time);
    const QString path = QDir(folder).filePath(name);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {{}, false, writeError(path, file.errorString())};
    const auto bytes = record.bytes();
    const qint64 size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char *>(bytes.data()), size) != size || !file.commit())
        return {{}, false, writeError(path, file.errorString())};

    names.append(name);
    std::sort(names.begin(), names.end());
    while (names.size() > m_limit)
        QFile::remove(QDir(folder).filePath(names.takeFirst()));

    BackupIndex index = BackupIndex::load(folder);
    index.setStep(name, step);
    index.keepOnly(names);
    index.save(folder); // the backup is safe without its note
    return {path, false, {}};
}

std::vector<BackupInfo> BackupStore::backupsIn(const QString &folder) const
{
    const BackupIndex index = BackupIndex::load(folder);
    const QStringList names = backupNamesIn(folder);
    std::vector<BackupInfo> backups;
    backups.reserve(static_cast<std::size_t>(names.size()));
    for (auto it = names.crbegin(); it != names.crend(); ++it) {
        BackupInfo info{timeOf(*it), index.step(*it), std::nullopt, QDir(folder).filePath(*it)};
        DeviceRecord record;
        if (!readBackup(info.path, record))
            info.phoneBookEntries = phoneBookEntryCount(record);
        backups.push_back(std::move(info));
    }
    return backups;
}

std::vector<BackupInfo> BackupStore::backups(const QString &serial) const
{
    return backupsIn(folderFor(serial));
}

std::vector<AdapterBackups> BackupStore::allBackups() const
{
    std::vector<AdapterBackups> adapters;
    const QDir root(m_root);
    for (const QString &folderName : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        std::vector<BackupInfo> backups = backupsIn(root.filePath(folderName));
        if (!backups.empty())
            adapters.push_back({serialOf(folderName), std::move(backups)});
    }
    std::stable_sort(adapters.begin(), adapters.end(), [](const AdapterBackups &a, const AdapterBackups &b) {
        return a.backups.front().time > b.backups.front().time;
    });
    return adapters;
}

std::optional<QString> readBackup(const QString &path, DeviceRecord &record)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QCoreApplication::translate("BackupStore", "Cannot open file \"%1\". %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    // One byte more than a record tells a longer file from a whole one.
    const QByteArray content = file.read(static_cast<qint64>(kRecordSize) + 1);
    if (content.size() != static_cast<qsizetype>(kRecordSize))
        return QCoreApplication::translate("BackupStore", "\"%1\" is not a backup of the adapter's record.")
            .arg(QDir::toNativeSeparators(path));
    std::memcpy(&record, content.constData(), kRecordSize);
    return std::nullopt;
}
