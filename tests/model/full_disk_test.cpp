// SPDX-License-Identifier: GPL-3.0-or-later
// Each file the program writes, written again on a full disk: the old file stays, the failure is told.
#include "model/ansi_codec.h"
#include "model/backup_index.h"
#include "model/backup_store.h"
#include "model/config_file.h"
#include "model/phone_book_exchange.h"
#include "support/record_builders.h"
#include "support/tiny_disk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace vestra7 {

namespace {

DeviceRecord recordWith(const char *name)
{
    DeviceRecord record{};
    record.contact[0] = makeParty(name, "+4930123456");
    record.contact[1] = makeParty("Second", "+4930654321");
    return record;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One way the program writes a file: writes `record` into `folder`, and names the file it writes.
struct WritePath
{
    const char *name;
    std::function<bool(const QString &folder, const DeviceRecord &record)> write; // false on a failure told
    std::function<QString(const QString &folder)> file;
};

void PrintTo(const WritePath &path, std::ostream *out)
{
    *out << path.name;
}

class FullDisk : public testing::TestWithParam<WritePath>
{
};

const WritePath kWritePaths[] = {
    {"SaveToFile",
     [](const QString &folder, const DeviceRecord &record) {
         return saveConfigFile(QDir(folder).filePath("a.cfg"), record).ok();
     },
     [](const QString &folder) {
         return QDir(folder).filePath("a.cfg");
     }},
    {"ExportContacts",
     [](const QString &folder, const DeviceRecord &record) {
         return exportPhoneBookFile(QDir(folder).filePath("pb.vcf"), record, AnsiCodec::system()).ok();
     },
     [](const QString &folder) {
         return QDir(folder).filePath("pb.vcf");
     }},
    {"AutomaticBackup",
     [](const QString &folder, const DeviceRecord &record) {
         const Result<StoredBackup> stored =
             BackupStore(folder).backUp(QStringLiteral("V7"), record, BackupStep::FirstSeen);
         // A backup reported as done must hold the record, whatever else went wrong.
         return stored && contentOf(stored->path).size() == static_cast<qsizetype>(kRecordSize);
     },
     [](const QString &folder) {
         const std::vector<BackupInfo> backups = BackupStore(folder).backups(QStringLiteral("V7"));
         return backups.empty() ? QString() : backups.front().path;
     }},
    {"BackupIndex",
     [](const QString &folder, const DeviceRecord &record) {
         // A step per contact's first letter, so that each record gives the index other content.
         BackupIndex index;
         index.addStep(QString(QLatin1Char(static_cast<char>(record.contact[0].name[0]))) + "-20240101-000000-000.cfg",
                       BackupStep::Restore);
         return index.save(folder).ok();
     },
     [](const QString &folder) {
         return QDir(folder).filePath(BackupIndex::kFileName);
     }},
};

} // namespace

TEST_P(FullDisk, KeepsTheOldFileAndTellsOfTheFailure)
{
    const TinyDisk disk;
    REQUIRE_TINY_DISK(disk);
    const QString folder = disk.path("store");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(GetParam().write(folder, recordWith("Anna")));
    const QString file = GetParam().file(folder);
    const QByteArray before = contentOf(file);
    ASSERT_FALSE(before.isEmpty());

    disk.fill();
    EXPECT_FALSE(GetParam().write(folder, recordWith("Bert"))) << "a write that did not fit is reported as done";
    EXPECT_EQ(GetParam().file(folder), file) << "a backup that did not fit is listed";
    EXPECT_EQ(contentOf(file), before);
    // Nothing half-written is left behind beside it.
    const QStringList left = QFileInfo(file).dir().entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left.size(), GetParam().name == std::string("AutomaticBackup") ? 2 : 1) << left.join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(WritePaths, FullDisk, testing::ValuesIn(kWritePaths),
                         [](const testing::TestParamInfo<WritePath> &path) { return path.param.name; });

} // namespace vestra7
