// SPDX-License-Identifier: GPL-3.0-or-later
// Whose backups are whose: adapters that share a serial number or have none, backups kept under a
// serial number alone, steps noted on a backup that already held the record, and two programs
// backing up at once.
#include "model/backup_index.h"
#include "model/backup_store.h"
#include "model/store_identity.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace vestra7 {

void PrintTo(const StoreIdentity &identity, std::ostream *os)
{
    *os << '{' << identity.serial.toStdString() << ", " << identity.port.toStdString() << '}';
}

namespace {

const QDateTime kNow(QDate(2025, 6, 1), QTime(12, 0), Qt::UTC);

DeviceRecord record(int seed)
{
    DeviceRecord result{};
    result.mic_gain = static_cast<std::int8_t>(seed % 100);
    result.spk_gain = static_cast<std::int8_t>(seed / 100);
    return result;
}

struct IdentityCase
{
    const char *name;
    std::vector<AdapterAddress> adapters;
    std::vector<StoreIdentity> identities;
};

class StoreIdentities : public testing::TestWithParam<IdentityCase>
{
};

} // namespace

TEST_P(StoreIdentities, TheSerialAloneWhereItIsUniqueAndThePortWhereNot)
{
    EXPECT_EQ(storeIdentities(GetParam().adapters), GetParam().identities);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoreIdentities,
    testing::Values(IdentityCase{"OwnSerials", {{"V7-1", "1-1"}, {"V7-2", "1-2"}}, {{"V7-1"}, {"V7-2"}}},
                    IdentityCase{"SharedSerial",
                                 {{"DUP", "1-1"}, {"V7-2", "1-2"}, {"DUP", "1-3.4"}},
                                 {{"DUP", "1-1"}, {"V7-2"}, {"DUP", "1-3.4"}}},
                    IdentityCase{"NoSerials", {{"", "1-1"}, {"", "1-2"}}, {{"", "1-1"}, {"", "1-2"}}},
                    IdentityCase{"OneWithoutSerial", {{"", "2-1"}}, {{"", "2-1"}}},
                    // Unlike a key, an identity keeps serial and port apart: a serial like a key is only a serial.
                    IdentityCase{"SerialLikeAKey", {{"a@1-2", "1-5"}, {"a", "1-2"}}, {{"a@1-2"}, {"a"}}}),
    [](const testing::TestParamInfo<IdentityCase> &test) { return test.param.name; });

TEST(BackupIdentity, TwinsAndAdaptersWithoutSerialBackUpApartAndAreListedAsWhoTheyAre)
{
    QTemporaryDir root;
    BackupStore store(root.path(), [] { return kNow; });
    const QString longSerial(300, u'L');
    const std::vector<StoreIdentity> adapters{{"DUP", "1-1"}, {"DUP", "1-2"},      {"", "1-3"},
                                              {"", "1-4"},    {longSerial, "1-5"}, {longSerial, "1-6"},
                                              {"V7-9"},       {"a@1-2"},           {"a", "1-2"}};
    for (std::size_t i = 0; i < adapters.size(); ++i)
        ASSERT_TRUE(store.backUp(adapters[i], record(static_cast<int>(i)), BackupStep::FirstSeen));

    QStringList folders;
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        SCOPED_TRACE(testing::PrintToString(adapters[i]));
        const std::vector<BackupInfo> backups = store.backups(adapters[i]);
        ASSERT_EQ(backups.size(), 1u) << "each adapter holds its own backup only";
        EXPECT_EQ(readBackup(backups[0].path)->mic_gain, static_cast<int>(i));
        folders << store.folderFor(adapters[i]);
    }
    folders.removeDuplicates();
    EXPECT_EQ(folders.size(), static_cast<qsizetype>(adapters.size()));
    EXPECT_TRUE(store.backups(StoreIdentity("DUP")).empty()) << "nothing of the twins under their serial alone";

    std::vector<StoreIdentity> listed;
    for (const AdapterBackups &adapter : store.allBackups()) {
        listed.push_back(adapter.identity);
        EXPECT_FALSE(adapter.mayBeOfSeveral) << testing::PrintToString(adapter.identity);
    }
    for (const StoreIdentity &adapter : adapters)
        EXPECT_EQ(std::count(listed.begin(), listed.end(), adapter), 1) << testing::PrintToString(adapter);
}

TEST(BackupIdentity, BackupsKeptUnderASerialAloneStayAndMayBeOfEitherTwin)
{
    QTemporaryDir root;
    BackupStore store(root.path(), [] { return kNow; });
    // Taken before a twin joined, and by an adapter without serial before ports were noted.
    ASSERT_TRUE(store.backUp(StoreIdentity("DUP"), record(1), BackupStep::FirstSeen));
    ASSERT_TRUE(store.backUp(StoreIdentity(""), record(2), BackupStep::FirstSeen));
    ASSERT_TRUE(store.backUp(StoreIdentity("V7-1"), record(3), BackupStep::FirstSeen));
    // Each was filed where earlier versions filed it.
    EXPECT_TRUE(QDir(root.filePath("DUP")).exists());
    EXPECT_TRUE(QDir(root.filePath("(no serial)")).exists());

    const auto several = [&] {
        std::map<QString, bool> flags;
        for (const AdapterBackups &adapter : store.allBackups())
            flags[adapter.identity.serial + "@" + adapter.identity.port] = adapter.mayBeOfSeveral;
        return flags;
    };
    EXPECT_EQ(several(), (std::map<QString, bool>{{"DUP@", false}, {"@", true}, {"V7-1@", false}}));

    ASSERT_TRUE(store.backUp(StoreIdentity("DUP", "1-2"), record(4), BackupStep::FirstSeen));
    EXPECT_EQ(several(), (std::map<QString, bool>{{"DUP@", true}, {"DUP@1-2", false}, {"@", true}, {"V7-1@", false}}));
    EXPECT_EQ(store.backups(StoreIdentity("DUP")).size(), 1u) << "the old backup is still listed";
}

TEST(BackupIdentity, EachStepIsNotedOnceOnTheBackupThatHeldTheRecordBeforeIt)
{
    QTemporaryDir root;
    QDateTime now = kNow;
    BackupStore store(root.path(), [&now] { return now; });
    const StoreIdentity adapter("V7-1");
    const struct
    {
        int record;
        BackupStep step;
        std::vector<std::vector<BackupStep>> steps; // newest backup first
    } rounds[] = {
        {1, BackupStep::FirstSeen, {{BackupStep::FirstSeen}}},
        // An import whose record the first-seen backup already holds is that backup's step too.
        {1, BackupStep::ImportContacts, {{BackupStep::FirstSeen, BackupStep::ImportContacts}}},
        {1, BackupStep::ImportContacts, {{BackupStep::FirstSeen, BackupStep::ImportContacts}}},
        {2, BackupStep::Restore, {{BackupStep::Restore}, {BackupStep::FirstSeen, BackupStep::ImportContacts}}},
    };
    for (const auto &round : rounds) {
        now = now.addSecs(1);
        ASSERT_TRUE(store.backUp(adapter, record(round.record), round.step));
        std::vector<std::vector<BackupStep>> steps;
        for (const BackupInfo &backup : store.backups(adapter)) {
            steps.push_back(backup.steps);
            EXPECT_EQ(backup.step, backup.steps.back());
        }
        EXPECT_EQ(steps, round.steps) << "after " << backupStepKey(round.step).toStdString();
    }
}

TEST(BackupIdentity, AnIndexWrittenWithOneStepPerBackupStillReads)
{
    QTemporaryDir folder;
    QFile file(QDir(folder.path()).filePath(QLatin1String(BackupIndex::kFileName)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"steps": {"a.cfg": "restore", "b.cfg": ["first-seen", "import-contacts", "first-seen"]}})");
    file.close();
    const BackupIndex index = BackupIndex::load(folder.path());
    EXPECT_EQ(index.steps("a.cfg"), (std::vector{BackupStep::Restore}));
    EXPECT_EQ(index.steps("b.cfg"), (std::vector{BackupStep::FirstSeen, BackupStep::ImportContacts}));
}

// Two programs backing up the same adapter at once, each with its own store over one folder: every
// backup and every note of a step survives, however their reads and writes interleave.
TEST(BackupIdentity, TwoProgramsBackingUpAtOnceLoseNoBackupAndNoStep)
{
    QTemporaryDir root;
    const StoreIdentity adapter("DUP", "1-1");
    constexpr int kEach = 40;
    const auto backUpMany = [&](int first, BackupStep step) {
        BackupStore store(root.path(), &QDateTime::currentDateTimeUtc, 4 * kEach);
        bool ok = true;
        for (int i = first; i < first + kEach; ++i)
            ok = store.backUp(adapter, record(i), step).ok() && ok;
        return ok;
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(backUpMany(kEach, BackupStep::Restore) ? 0 : 1);
    const bool parentOk = backUpMany(0, BackupStep::DeleteContact);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(parentOk);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const std::vector<BackupInfo> backups = BackupStore(root.path()).backups(adapter);
    EXPECT_EQ(backups.size(), 2u * kEach);
    std::set<int> seeds;
    for (const BackupInfo &backup : backups) {
        const Result<DeviceRecord> stored = readBackup(backup.path);
        ASSERT_TRUE(stored);
        const int seed = stored->mic_gain + 100 * stored->spk_gain;
        seeds.insert(seed);
        EXPECT_EQ(backup.step, seed < kEach ? BackupStep::DeleteContact : BackupStep::Restore) << seed;
    }
    EXPECT_EQ(seeds.size(), 2u * kEach);
}

} // namespace vestra7
