// SPDX-License-Identifier: GPL-3.0-or-later
// Configuration files: the extension rule, the raw record on disk, and failures that keep data.
#include "model/config_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace vestra7 {

namespace {

class ConfigFile : public testing::Test
{
protected:
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    void writeFile(const QString &fileName, const QByteArray &content)
    {
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    static QByteArray readFile(const QString &fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static DeviceRecord patterned()
    {
        DeviceRecord record;
        for (std::size_t i = 0; i < kRecordSize; ++i)
            record.bytes()[i] = static_cast<std::uint8_t>(i * 7 + 3);
        return record;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST(ConfigExtension, AppendsUnlessExactlyDotCfg)
{
    EXPECT_EQ(withConfigExtension(QStringLiteral("/home/u/backup")), QStringLiteral("/home/u/backup.cfg"));
    EXPECT_EQ(withConfigExtension(QStringLiteral("/home/u/backup.CFG")), QStringLiteral("/home/u/backup.CFG.cfg"));
    EXPECT_EQ(withConfigExtension(QStringLiteral("/home/u/settings.cfg")), QStringLiteral("/home/u/settings.cfg"));
    EXPECT_EQ(withConfigExtension(QStringLiteral("/home/u/x.txt")), QStringLiteral("/home/u/x.txt.cfg"));
    // A dot in a folder name is not an extension of the file.
    EXPECT_EQ(withConfigExtension(QStringLiteral("/home/u.cfg/backup")), QStringLiteral("/home/u.cfg/backup.cfg"));
}

TEST_F(ConfigFile, SaveWritesExactlyTheRecordAndLoadGivesItBack)
{
    const DeviceRecord saved = patterned();
    ASSERT_TRUE(saveConfigFile(path("a.cfg"), saved));
    const QByteArray content = readFile(path("a.cfg"));
    ASSERT_EQ(content.size(), static_cast<qsizetype>(kRecordSize));
    EXPECT_EQ(std::memcmp(content.constData(), &saved, kRecordSize), 0);

    const Result<ConfigFileContent> loaded = readConfigFile(path("a.cfg"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->bytes, content);
}

TEST_F(ConfigFile, SaveReplacesAnExistingFile)
{
    writeFile(path("old.cfg"), QByteArray(4000, 'x'));
    ASSERT_TRUE(saveConfigFile(path("old.cfg"), patterned()));
    EXPECT_EQ(readFile(path("old.cfg")).size(), static_cast<qsizetype>(kRecordSize));
}

TEST_F(ConfigFile, FailedSaveNamesTheFileAndKeepsWhatWasThere)
{
    // A folder where the file should go cannot be replaced by a file.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("taken.cfg")));
    const Result<void> taken = saveConfigFile(path("taken.cfg"), patterned());
    ASSERT_FALSE(taken);
    const QString &error = taken.error().message;
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path("taken.cfg"))));
    EXPECT_GT(error.size(), QStringLiteral("Cannot create file \"%1\". ").arg(path("taken.cfg")).size());
    EXPECT_TRUE(QFileInfo(path("taken.cfg")).isDir());

    const Result<void> missingFolder = saveConfigFile(path("no/such/folder.cfg"), patterned());
    ASSERT_FALSE(missingFolder);
    EXPECT_TRUE(missingFolder.error().message.startsWith(QStringLiteral("Cannot create file \"")));
}

TEST_F(ConfigFile, ReadGivesAtMostOneRecordsWorthAndShortFilesAsTheyAre)
{
    const struct
    {
        const char *name;
        QByteArray content;
        QByteArray read;
    } cases[] = {
        {"ten.cfg",
         QByteArray("\x01"
                    "ABCDEFGHI",
                    10),
         QByteArray("\x01"
                    "ABCDEFGHI",
                    10)},
        {"empty.cfg", QByteArray(), QByteArray()},
        {"big.cfg", QByteArray(5000, '\x5A'), QByteArray(static_cast<qsizetype>(kRecordSize), '\x5A')},
    };
    for (const auto &[name, content, read] : cases) {
        writeFile(path(name), content);
        const Result<ConfigFileContent> loaded = readConfigFile(path(name));
        ASSERT_TRUE(loaded) << name;
        EXPECT_EQ(loaded->bytes, read) << name;
    }
}

TEST_F(ConfigFile, MissingFileNamesIt)
{
    const Result<ConfigFileContent> loaded = readConfigFile(path("none.cfg"));
    ASSERT_FALSE(loaded);
    EXPECT_TRUE(loaded.error().message.startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(path("none.cfg"))));
}

} // namespace vestra7
