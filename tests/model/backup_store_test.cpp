// SPDX-License-Identifier: GPL-3.0-or-later
// Backups of the adapter's record: exact bytes, no duplicates, pruning, listing, failures and a
// damaged index.
#include "model/backup_index.h"
#include "model/backup_store.h"
#include "model/config_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace vestra7 {

namespace {

class BackupStoreTest : public testing::Test
{
protected:
    BackupStore store(int limit = BackupStore::kDefaultLimit)
    {
        return BackupStore(
            m_dir.path(), [this] { return m_now; }, limit);
    }

    // A record that differs from every other seed's, with `contacts` phone-book entries in use.
    static DeviceRecord record(int seed, int contacts = 0)
    {
        DeviceRecord result{};
        result.mic_gain = static_cast<std::int8_t>(seed);
        for (int i = 0; i < contacts; ++i)
            result.contact[i].number[0] = '1';
        return result;
    }

    static QStringList filesIn(const QString &folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir m_dir;
    QDateTime m_now{QDate(2024, 3, 31), QTime(1, 59, 58, 250), Qt::UTC};
};

std::vector<BackupStep> stepsOf(const std::vector<BackupInfo> &backups)
{
    std::vector<BackupStep> steps;
    for (const BackupInfo &info : backups)
        steps.push_back(info.step);
    return steps;
}

} // namespace

TEST_F(BackupStoreTest, StoresTheExactRecordAsAConfigurationFile)
{
    DeviceRecord original;
    for (std::size_t i = 0; i < kRecordSize; ++i)
        original.bytes()[i] = static_cast<std::uint8_t>(i * 31 + 7);
    BackupStore backups = store();
    const Result<StoredBackup> stored = backups.backUp(QStringLiteral("SN-0042"), original, BackupStep::FirstSeen);
    ASSERT_TRUE(stored) << stored.error().message.toStdString();
    EXPECT_FALSE(stored->alreadyStored);
    EXPECT_EQ(stored->path, m_dir.filePath(QStringLiteral("SN-0042/20240331-015958-250.cfg")));

    const Result<DeviceRecord> read = readBackup(stored->path);
    ASSERT_TRUE(read);
    EXPECT_EQ(std::memcmp(&*read, &original, kRecordSize), 0);
    const Result<ConfigFileContent> loaded = readConfigFile(stored->path);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->bytes.size(), static_cast<qsizetype>(kRecordSize));
    EXPECT_EQ(std::memcmp(loaded->bytes.constData(), &original, kRecordSize), 0);

    // A file cut short, or grown, is not taken for a record.
    QFile file(stored->path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("x");
    file.close();
    EXPECT_FALSE(readBackup(stored->path));
}

TEST_F(BackupStoreTest, SkipsARecordEqualToTheNewestBackupOnly)
{
    BackupStore backups = store();
    const QString serial = QStringLiteral("A1");
    const Result<StoredBackup> first = backups.backUp(serial, record(1), BackupStep::FirstSeen);
    m_now = m_now.addSecs(5);
    const Result<StoredBackup> again = backups.backUp(serial, record(1), BackupStep::SetToDefault);
    ASSERT_TRUE(first && again);
    EXPECT_TRUE(again->alreadyStored);
    EXPECT_EQ(again->path, first->path);

    // The backup that already held the record is noted as taken before the second step too.
    EXPECT_EQ(backups.backups(serial).front().steps, (std::vector{BackupStep::FirstSeen, BackupStep::SetToDefault}));

    ASSERT_TRUE(backups.backUp(serial, record(2), BackupStep::LoadFromFile));
    // Equal to an older backup but not to the newest: the step before it changed the record.
    const Result<StoredBackup> back = backups.backUp(serial, record(1), BackupStep::Restore);
    ASSERT_TRUE(back);
    EXPECT_FALSE(back->alreadyStored);
    EXPECT_EQ(stepsOf(backups.backups(serial)),
              (std::vector{BackupStep::Restore, BackupStep::LoadFromFile, BackupStep::SetToDefault}));
}

TEST_F(BackupStoreTest, BackupsWithinOneMillisecondKeepTheirOrder)
{
    BackupStore backups = store();
    const Result<StoredBackup> a = backups.backUp(QString(), record(1), BackupStep::DeleteContact);
    const Result<StoredBackup> b = backups.backUp(QString(), record(2), BackupStep::DeleteCallListEntry);
    ASSERT_TRUE(a && b);
    ASSERT_NE(a->path, b->path);
    const std::vector<BackupInfo> listed = backups.backups(QString());
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].path, b->path);
    EXPECT_LT(listed[1].time, listed[0].time);
}

TEST_F(BackupStoreTest, PrunesTheOldestBeyondTheLimitAndListsNewestFirst)
{
    BackupStore backups = store(3);
    const QString serial = QStringLiteral("B2");
    const BackupStep steps[] = {BackupStep::FirstSeen, BackupStep::ResetSettings, BackupStep::FirmwareUpdate,
                                BackupStep::ImportContacts, BackupStep::Restore};
    for (int i = 0; i < 5; ++i) {
        m_now = m_now.addSecs(1); // across the hour
        ASSERT_TRUE(backups.backUp(serial, record(i, i * 2), steps[i]));
    }
    const std::vector<BackupInfo> listed = backups.backups(serial);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(stepsOf(listed),
              (std::vector{BackupStep::Restore, BackupStep::ImportContacts, BackupStep::FirmwareUpdate}));
    EXPECT_EQ(listed[0].phoneBookEntries, 8);
    EXPECT_EQ(listed[2].phoneBookEntries, 4);
    EXPECT_EQ(listed[0].time, m_now);
    EXPECT_EQ(listed[2].time, m_now.addSecs(-2));
    // The pruned backups are gone from the disk, not just from the list.
    EXPECT_EQ(filesIn(backups.folderFor(serial)).size(), 4); // three backups and the index
}

TEST_F(BackupStoreTest, KeepsAdaptersApartWhateverTheirSerial)
{
    BackupStore backups = store();
    const QString odd = QStringLiteral("../a/b:c*Ж");
    ASSERT_TRUE(backups.backUp(odd, record(1, 1), BackupStep::FirstSeen));
    m_now = m_now.addSecs(60);
    ASSERT_TRUE(backups.backUp(QString(), record(1, 2), BackupStep::FirstSeen));
    ASSERT_TRUE(backups.backUp(QStringLiteral("plain"), record(1, 3), BackupStep::FirstSeen));

    // Every folder lies directly under the root.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 3);
    const std::vector<AdapterBackups> adapters = backups.allBackups();
    ASSERT_EQ(adapters.size(), 3u);
    EXPECT_EQ(adapters[2].identity.serial, odd); // backed up a minute before the others
    EXPECT_EQ(adapters[2].backups.at(0).phoneBookEntries, 1);
    EXPECT_EQ(QStringList({adapters[0].identity.serial, adapters[1].identity.serial}),
              QStringList({QString(), QStringLiteral("plain")}));
}

TEST_F(BackupStoreTest, AFailedWriteSaysWhereAndWhy)
{
    // Tests may run with every permission, so the folder is made impossible instead: its parent is a file.
    const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    BackupStore backups(blocker + QStringLiteral("/backups"), [this] { return m_now; });
    const Result<StoredBackup> stored = backups.backUp(QStringLiteral("C3"), record(1), BackupStep::FirstSeen);
    ASSERT_FALSE(stored);
    EXPECT_TRUE(stored.error().message.contains(blocker)) << stored.error().message.toStdString();
    EXPECT_TRUE(backups.backups(QStringLiteral("C3")).empty());
}

TEST_F(BackupStoreTest, ADamagedIndexLosesOnlyTheSteps)
{
    BackupStore backups = store();
    const QString serial = QStringLiteral("D4");
    ASSERT_TRUE(backups.backUp(serial, record(1), BackupStep::FirstSeen));
    ASSERT_TRUE(backups.backUp(serial, record(2), BackupStep::SetToDefault));
    const QString indexPath = QDir(backups.folderFor(serial)).filePath(QLatin1String(BackupIndex::kFileName));
    QFile index(indexPath);
    ASSERT_TRUE(index.open(QIODevice::WriteOnly | QIODevice::Truncate));
    index.write("{\"steps\": [not json");
    index.close();

    EXPECT_EQ(stepsOf(backups.backups(serial)), (std::vector{BackupStep::Unknown, BackupStep::Unknown}));
    ASSERT_TRUE(backups.backUp(serial, record(3), BackupStep::ImportContacts));
    EXPECT_EQ(stepsOf(backups.backups(serial)),
              (std::vector{BackupStep::ImportContacts, BackupStep::Unknown, BackupStep::Unknown}));

    ASSERT_TRUE(QFile::remove(indexPath));
    EXPECT_EQ(backups.backups(serial).size(), 3u);
}

} // namespace vestra7
