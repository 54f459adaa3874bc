// SPDX-License-Identifier: GPL-3.0-or-later
// The backup store in a folder others have tampered with, with private rights, long serials and a
// clock that was ahead.
#include "model/backup_index.h"
#include "model/backup_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace vestra7 {

namespace {

const QString kSerial = QStringLiteral("V7-2041-000117");
const QDateTime kNow(QDate(2024, 3, 31), QTime(1, 59, 58, 250), Qt::UTC);

DeviceRecord record(int seed)
{
    DeviceRecord result{};
    result.mic_gain = static_cast<std::int8_t>(seed);
    return result;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

unsigned modeOf(const QString &path)
{
    struct stat status
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 0777 : 0;
}

bool symlinkTo(const QString &target, const QString &link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
}

// Something another user put where the store keeps an adapter's backups, after one backup was taken.
struct Tampering
{
    const char *name;
    // Given the adapter's folder and a folder outside the store, makes the entry.
    std::function<bool(const QString &folder, const QString &outside)> make;
};

void PrintTo(const Tampering &tampering, std::ostream *out)
{
    *out << tampering.name;
}

const Tampering kTamperings[] = {
    {"IndexLinkedToAnotherFile",
     [](const QString &folder, const QString &outside) {
         return QFile::remove(QDir(folder).filePath(BackupIndex::kFileName)) &&
                symlinkTo(QDir(outside).filePath("victim"), QDir(folder).filePath(BackupIndex::kFileName));
     }},
    {"DanglingLinkAtTheNextName",
     [](const QString &folder, const QString &outside) {
         return symlinkTo(QDir(outside).filePath("created"), QDir(folder).filePath("20240331-015958-250.cfg"));
     }},
    {"LinkToAFileAsTheNewestBackup",
     [](const QString &folder, const QString &outside) {
         return symlinkTo(QDir(outside).filePath("victim"), QDir(folder).filePath("20300101-000000-000.cfg"));
     }},
    {"PipeAsTheNewestBackup",
     [](const QString &folder, const QString &) {
         return ::mkfifo(QFile::encodeName(QDir(folder).filePath("20300101-000000-000.cfg")).constData(), 0644) == 0;
     }},
    {"PipeAsTheIndex",
     [](const QString &folder, const QString &) {
         const QString index = QDir(folder).filePath(BackupIndex::kFileName);
         return QFile::remove(index) && ::mkfifo(QFile::encodeName(index).constData(), 0644) == 0;
     }},
};

class TamperedFolder : public testing::TestWithParam<Tampering>
{
};

} // namespace

TEST_P(TamperedFolder, TheStoreFollowsNoLinkAndOpensOnlyRegularFiles)
{
    QTemporaryDir root;
    QTemporaryDir outside;
    const QString victim = QDir(outside.path()).filePath("victim");
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("the other user's own file");
    file.close();
    QDateTime now = kNow.addSecs(-60);
    BackupStore store(root.path(), [&now] { return now; });
    ASSERT_TRUE(store.backUp(kSerial, record(1), BackupStep::FirstSeen));
    const QString folder = store.folderFor(kSerial);
    ASSERT_TRUE(GetParam().make(folder, outside.path()));

    now = kNow;
    // A pipe opened for reading would wait here for a writer for ever.
    const Result<StoredBackup> outcome = store.backUp(kSerial, record(2), BackupStep::Restore);
    ASSERT_TRUE(outcome) << outcome.error().message.toStdString();
    EXPECT_EQ(contentOf(victim), "the other user's own file");
    EXPECT_FALSE(QFile::exists(QDir(outside.path()).filePath("created")));
    EXPECT_EQ(QFileInfo(outcome->path).path(), folder);
    EXPECT_FALSE(QFileInfo(outcome->path).isSymLink());
    EXPECT_EQ(contentOf(outcome->path).size(), static_cast<qsizetype>(kRecordSize));

    const std::vector<AdapterBackups> adapters = store.allBackups();
    ASSERT_EQ(adapters.size(), 1u);
    ASSERT_EQ(adapters[0].backups.size(), 2u) << "only the two backups the store wrote are listed";
    EXPECT_EQ(adapters[0].backups[0].path, outcome->path);
}

INSTANTIATE_TEST_SUITE_P(Entries, TamperedFolder, testing::ValuesIn(kTamperings),
                         [](const testing::TestParamInfo<Tampering> &entry) { return entry.param.name; });

TEST(BackupFolder, AnAdapterFolderThatIsALinkIsRefused)
{
    QTemporaryDir root;
    QTemporaryDir outside;
    BackupStore store(root.path(), [] { return kNow; });
    ASSERT_TRUE(symlinkTo(outside.path(), store.folderFor(kSerial)));
    EXPECT_FALSE(store.backUp(kSerial, record(1), BackupStep::FirstSeen));
    EXPECT_TRUE(QDir(outside.path()).isEmpty());
}

TEST(BackupFolder, BackupsAreOnlyTheUsersToReadAlsoThoseWrittenBefore)
{
    QTemporaryDir home;
    const QString root = QDir(home.path()).filePath("vestra7");
    const QString folder = QDir(root).filePath("OLD");
    // As an earlier version left them: 0755 folders, 0644 files.
    ASSERT_TRUE(QDir().mkpath(folder));
    ::chmod(QFile::encodeName(root).constData(), 0755);
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    const QString old = QDir(folder).filePath("20240101-000000-000.cfg");
    QFile file(old);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(static_cast<qsizetype>(kRecordSize), '\0'));
    file.close();
    ::chmod(QFile::encodeName(old).constData(), 0644);

    BackupStore store(root, [] { return kNow; });
    const Result<StoredBackup> outcome = store.backUp(QStringLiteral("OLD"), record(1), BackupStep::FirstSeen);
    ASSERT_TRUE(outcome) << outcome.error().message.toStdString();
    EXPECT_EQ(modeOf(root), 0700u);
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(outcome->path), 0600u);
    EXPECT_EQ(modeOf(QDir(folder).filePath(BackupIndex::kFileName)), 0600u);
    EXPECT_EQ(modeOf(old), 0600u);
}

TEST(BackupFolder, BackupsTakenWhileTheClockWasAheadDoNotPushOutTheNewOne)
{
    QTemporaryDir root;
    QDateTime now = kNow.addYears(1);
    BackupStore store(
        root.path(), [&now] { return now; }, 2);
    ASSERT_TRUE(store.backUp(kSerial, record(1), BackupStep::FirstSeen));
    ASSERT_TRUE(store.backUp(kSerial, record(2), BackupStep::Restore));
    now = kNow;
    const Result<StoredBackup> outcome = store.backUp(kSerial, record(3), BackupStep::ImportContacts);
    ASSERT_TRUE(outcome);
    ASSERT_TRUE(QFile::exists(outcome->path)) << "a backup reported as done was pruned";
    const std::vector<BackupInfo> listed = store.backups(kSerial);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].path, outcome->path);
    EXPECT_EQ(listed[0].step, BackupStep::ImportContacts);
    EXPECT_EQ(listed[1].step, BackupStep::Restore);
}

TEST(BackupFolder, LongSerialsFitAFolderNameAndStayApart)
{
    QTemporaryDir root;
    BackupStore store(root.path(), [] { return kNow; });
    const QString longAscii(300, u'A');
    const QString cjk(29, QChar(0x4E32)); // nine bytes each once percent-encoded
    const QStringList serials{longAscii + "1", longAscii + "2", cjk, cjk + "x", QStringLiteral("short")};
    for (const QString &serial : serials) {
        const Result<StoredBackup> outcome = store.backUp(serial, record(1), BackupStep::FirstSeen);
        ASSERT_TRUE(outcome) << outcome.error().message.toStdString();
        EXPECT_LE(QFileInfo(store.folderFor(serial)).fileName().toUtf8().size(), 255);
    }
    QStringList listed;
    for (const AdapterBackups &adapter : store.allBackups())
        listed << adapter.identity.serial;
    listed.sort();
    QStringList expected = serials;
    expected.sort();
    EXPECT_EQ(listed, expected);
}

TEST(BackupFolder, ARelativeDataHomeIsIgnored)
{
    const QByteArray home = qgetenv("HOME");
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    const QString name = QCoreApplication::applicationName();
    qputenv("HOME", "/home/someone");
    qputenv("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(BackupStore::defaultRoot(), "/home/someone/.local/share/" + name);
    qputenv("XDG_DATA_HOME", "/data");
    EXPECT_EQ(BackupStore::defaultRoot(), "/data/" + name);
    qputenv("HOME", "");
    qputenv("XDG_DATA_HOME", "");
    EXPECT_EQ(BackupStore::defaultRoot(), QString());
    qputenv("HOME", home);
    qputenv("XDG_DATA_HOME", dataHome);
}

} // namespace vestra7
