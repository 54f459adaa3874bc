// SPDX-License-Identifier: GPL-3.0-or-later
// The bounded reader: files beyond their kind's cap are refused by size, a device or pipe that
// reports no size is read no further than the cap, and the program's own files are regular or nothing.
#include "model/config_file.h"
#include "model/input_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace vestra7 {

namespace {

class InputFileKinds : public testing::TestWithParam<InputKind>
{
protected:
    QTemporaryDir dir;
};

} // namespace

TEST_P(InputFileKinds, ALargerRegularFileIsRefusedWithItsSize)
{
    const qint64 cap = inputCap(GetParam());
    const QString path = dir.filePath(QStringLiteral("large"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(cap + 1)); // sparse: no disk is used
    }
    const Result<QByteArray> read = readWholeFile(path, GetParam());
    ASSERT_FALSE(read);
    EXPECT_TRUE(read.error().message.contains(QString::number(cap + 1))) << read.error().message.toStdString();

    QFile(path).resize(cap);
    const Result<QByteArray> fits = readWholeFile(path, GetParam());
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->size(), cap);
}

TEST_P(InputFileKinds, ADeviceWithoutEndIsReadOnlyUpToTheCapOrNotAtAll)
{
    const Result<QByteArray> read = readWholeFile(QStringLiteral("/dev/zero"), GetParam());
    ASSERT_FALSE(read);
    // The program's own files are never anything but regular files, so a device is refused unread.
    const bool programsOwn = GetParam() == InputKind::Backup || GetParam() == InputKind::BackupIndex;
    EXPECT_TRUE(read.error().message.contains(programsOwn ? QStringLiteral("not a regular file")
                                                          : QString::number(inputCap(GetParam()))))
        << read.error().message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kinds, InputFileKinds,
                         testing::Values(InputKind::Configuration, InputKind::Update, InputKind::PhoneBook,
                                         InputKind::Backup, InputKind::BackupIndex));

TEST(InputFile, APipeIsReadToItsEnd)
{
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const QByteArray content = "BEGIN:VCARD\nFN:Anna\nEND:VCARD\n";
    ASSERT_EQ(write(ends[1], content.constData(), static_cast<std::size_t>(content.size())), content.size());
    close(ends[1]);
    const Result<QByteArray> read =
        readWholeFile(QStringLiteral("/proc/self/fd/%1").arg(ends[0]), InputKind::PhoneBook);
    close(ends[0]);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, content);
}

TEST(InputFile, AConfigurationFileGivesItsRecordAndItsSize)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.cfg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(5000, 'x'));
    file.close();
    const Result<ConfigFileContent> content = readConfigFile(path);
    ASSERT_TRUE(content);
    EXPECT_EQ(content->size, 5000);
    EXPECT_EQ(content->bytes.size(), static_cast<qsizetype>(kRecordSize));
    EXPECT_FALSE(readConfigFile(QStringLiteral("/dev/zero"))) << "a device without end is no record";
}

} // namespace vestra7
