// SPDX-License-Identifier: GPL-3.0-or-later
// Writing, deduplicating, pruning and listing the adapter's backups.
#include "model/backup_store.h"

#include "model/backup_index.h"
#include "model/byte_span.h"
#include "model/checked_files.h"
#include "model/file_name_bytes.h"
#include "model/folder_lock.h"
#include "model/input_file.h"
#include "model/party_text.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vestra7 {

namespace {

// Percent-encoding never yields brackets or blanks, so no serial number is given this folder.
const QString kNoSerialFolder = QStringLiteral("(no serial)");
const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");
const QString kBackupSuffix = QStringLiteral(".cfg");
// Percent-encoding never yields "#" either: it marks a name cut short, followed by the serial's hash.
constexpr QChar kHashMark = u'#';
// Nor "@": it parts the serial number from the port.
constexpr QChar kPortMark = u'@';
constexpr char kLockName[] = "backups.lock";
constexpr qsizetype kMaxFolderName = 255; // bytes, as most file systems allow; the name is ASCII
constexpr qsizetype kHashLength = 16;     // hex digits: 64 bits tell serials apart

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

// Whether anything at all, a dangling link included, has the name.
bool takenName(const QString &path)
{
    struct stat status
    {
    };
    return ::lstat(fileNameBytes(path).constData(), &status) == 0;
}

// Stored first to stored last: the names sort as the times they hold. Regular files only, never a
// link or a pipe that someone put in the folder.
QStringList backupNamesIn(const QString &folder)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{8}-\\d{6}-\\d{3}\\.cfg$"));
    QStringList names =
        QDir(folder).entryList({QStringLiteral("*") + kBackupSuffix}, QDir::Files | QDir::NoSymLinks, QDir::Name);
    names.removeIf([](const QString &name) { return !pattern.match(name).hasMatch(); });
    return names;
}

QString decoded(const QString &part)
{
    return QUrl::fromPercentEncoding(part.toLatin1());
}

StoreIdentity identityOf(const QString &folderName, const BackupIndex &index)
{
    if (folderName.contains(kHashMark) && !index.serial().isEmpty())
        return {index.serial(), index.port()};
    const QString name = folderName.section(kHashMark, 0, 0);
    const QString serial = name.section(kPortMark, 0, 0);
    return {serial == kNoSerialFolder ? QString() : decoded(serial), decoded(name.section(kPortMark, 1))};
}

// Folders kept under a serial number alone that adapters kept by port have too, or that is empty.
void markSharedSerials(std::vector<AdapterBackups> &adapters)
{
    for (AdapterBackups &adapter : adapters) {
        const StoreIdentity &identity = adapter.identity;
        adapter.mayBeOfSeveral =
            !identity.byPort() && (identity.serial.isEmpty() ||
                                   std::any_of(adapters.begin(), adapters.end(), [&](const AdapterBackups &other) {
                                       return other.identity.byPort() && other.identity.serial == identity.serial;
                                   }));
    }
}

// A store made before backups were private has 0644 files: they are made 0600 when it is next used.
void makeFilesPrivate(const QString &folder)
{
    QStringList names = backupNamesIn(folder);
    names << QLatin1String(BackupIndex::kFileName);
    for (const QString &name : names) {
        const Result<std::unique_ptr<QFile>> file = openRegularFile(QDir(folder).filePath(name));
        if (file && ((*file)->permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                               QFileDevice::ReadOther | QFileDevice::WriteOther)))
            (*file)->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

bool holdsRecord(const QString &path, const DeviceRecord &record)
{
    const Result<DeviceRecord> stored = readBackup(path);
    return stored && std::memcmp(&*stored, &record, sizeof record) == 0;
}

Error writeError(const QString &path, const QString &reason)
{
    return {QCoreApplication::translate("BackupStore", "Cannot back up the adapter's record to \"%1\". %2")
                .arg(QDir::toNativeSeparators(path), reason)};
}

} // namespace

BackupStore::BackupStore(QString root, Clock clock, int limit)
    : m_root(std::move(root))
    , m_clock(std::move(clock))
    , m_limit(std::max(limit, 1))
{
}

QString BackupStore::folderFor(const StoreIdentity &adapter) const
{
    QString name =
        adapter.serial.isEmpty() ? kNoSerialFolder : QString::fromLatin1(QUrl::toPercentEncoding(adapter.serial));
    // "." and ".." are not folders of their own, and a leading dot would hide the folder.
    if (name.startsWith(u'.'))
        name.replace(0, 1, QStringLiteral("%2E"));
    if (adapter.byPort())
        name += kPortMark + QString::fromLatin1(QUrl::toPercentEncoding(adapter.port));
    if (name.size() > kMaxFolderName) {
        qsizetype keep = kMaxFolderName - 1 - kHashLength;
        // Never half of a "%XX".
        if (name.lastIndexOf(u'%', keep - 1) > keep - 3)
            keep = name.lastIndexOf(u'%', keep - 1);
        // A folder kept under a serial number alone keeps the name it had before ports were noted.
        const QByteArray whole =
            adapter.byPort() ? adapter.serial.toUtf8() + '\0' + adapter.port.toUtf8() : adapter.serial.toUtf8();
        const QByteArray hash = QCryptographicHash::hash(whole, QCryptographicHash::Sha256).toHex();
        name = name.left(keep) + kHashMark + QString::fromLatin1(hash.left(kHashLength));
    }
    return QDir(m_root).filePath(name);
}

QString BackupStore::defaultRoot()
{
    // The base directory rules ignore a relative XDG_DATA_HOME; backups must not land wherever the
    // program happened to be started.
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data)) {
        const QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home))
            return {};
        data = QDir(home).filePath(QStringLiteral(".local/share"));
    }
    return QDir(data).filePath(QCoreApplication::applicationName());
}

Result<void> BackupStore::prepareFolder(const QString &folder) const
{
    // The folders above the store are the user's, made as any program makes them.
    if (!QDir().mkpath(QFileInfo(m_root).path()))
        return Error{QCoreApplication::translate("BackupStore", "The folder cannot be created.")};
    if (Result<void> made = makePrivateFolder(m_root); !made)
        return made;
    if (Result<void> made = makePrivateFolder(folder); !made)
        return made;
    makeFilesPrivate(folder);
    return {};
}

Result<StoredBackup> BackupStore::backUp(const StoreIdentity &adapter, const DeviceRecord &record, BackupStep step)
{
    const QString folder = folderFor(adapter);
    if (const Result<void> prepared = prepareFolder(folder); !prepared)
        return writeError(folder, prepared.error().message);
    // Another program backing up meanwhile waits: each reads the folder and the index as the other
    // left them, so neither's backup, name or note is lost. One lock for the whole store, beside the
    // adapters' folders, where only the user can reach it.
    const FolderLock lock(m_root, kLockName);
    if (!lock.problem().isEmpty())
        return writeError(folder, lock.problem());

    BackupIndex index = BackupIndex::load(folder);
    QStringList names = backupNamesIn(folder);
    StoredBackup stored{{}, !names.isEmpty() && holdsRecord(QDir(folder).filePath(names.last()), record)};
    if (!stored.alreadyStored) {
        Result<QStringList> kept = storeNew(folder, names, record);
        if (!kept)
            return kept.error();
        names = *kept;
    }
    stored.path = QDir(folder).filePath(names.last());
    if (QFileInfo(folder).fileName().contains(kHashMark))
        index.setAdapter(adapter.serial, adapter.port);
    index.addStep(names.last(), step);
    index.keepOnly(names);
    (void)index.save(folder); // the backup is safe without its note
    return stored;
}

Result<QStringList> BackupStore::storeNew(const QString &folder, QStringList names, const DeviceRecord &record) const
{
    // Named after the newest backup even when the clock is behind it, so that the names keep the
    // order the backups were stored in and pruning never takes the one just written. Nothing in the
    // folder, not even a dangling link, is ever written through.
    QDateTime time = m_clock();
    if (!names.isEmpty())
        time = std::max(time, timeOf(names.last()).addMSecs(1));
    while (takenName(QDir(folder).filePath(backupName(time))))
        time = time.addMSecs(1);
    const QString name = backupName(time);
    const QString path = QDir(folder).filePath(name);

    if (const Result<void> written = writeWholeFile(path, toByteArray(record.bytes()), FileKind::Private); !written)
        return writeError(path, written.error().message);

    names.append(name);
    while (names.size() > m_limit)
        ::unlink(fileNameBytes(QDir(folder).filePath(names.takeFirst())).constData());
    return names;
}

std::vector<BackupInfo> BackupStore::backupsIn(const QString &folder) const
{
    const BackupIndex index = BackupIndex::load(folder);
    const QStringList names = backupNamesIn(folder);
    std::vector<BackupInfo> backups;
    backups.reserve(static_cast<std::size_t>(names.size()));
    for (auto it = names.crbegin(); it != names.crend(); ++it) {
        const std::vector<BackupStep> steps = index.steps(*it);
        BackupInfo info{timeOf(*it), steps.back(), steps, std::nullopt, QDir(folder).filePath(*it)};
        if (const Result<DeviceRecord> record = readBackup(info.path))
            info.phoneBookEntries = phoneBookEntryCount(*record);
        backups.push_back(std::move(info));
    }
    return backups;
}

std::vector<BackupInfo> BackupStore::backups(const StoreIdentity &adapter) const
{
    return backupsIn(folderFor(adapter));
}

std::vector<AdapterBackups> BackupStore::allBackups() const
{
    std::vector<AdapterBackups> adapters;
    const QDir root(m_root);
    for (const QString &folderName : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name)) {
        std::vector<BackupInfo> backups = backupsIn(root.filePath(folderName));
        if (!backups.empty())
            adapters.push_back(
                {identityOf(folderName, BackupIndex::load(root.filePath(folderName))), std::move(backups)});
    }
    std::stable_sort(adapters.begin(), adapters.end(), [](const AdapterBackups &a, const AdapterBackups &b) {
        return a.backups.front().time > b.backups.front().time;
    });
    markSharedSerials(adapters);
    return adapters;
}

Result<DeviceRecord> readBackup(const QString &path)
{
    const Result<QByteArray> content = readWholeFile(path, InputKind::Backup);
    if (!content)
        return content.error();
    if (content->size() != static_cast<qsizetype>(kRecordSize))
        return Error{QCoreApplication::translate("BackupStore", "\"%1\" is not a backup of the adapter's record.")
                         .arg(QDir::toNativeSeparators(path))};
    DeviceRecord record;
    std::memcpy(&record, content->constData(), kRecordSize);
    return record;
}

} // namespace vestra7
