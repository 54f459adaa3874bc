// SPDX-License-Identifier: GPL-3.0-or-later
// The bounded reader: files beyond their kind's cap are refused by size, and a device or pipe that
// reports no size is read no further than the cap.
#include "model/config_file.h"
#include "model/input_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

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
    const InputFile read = readInputFile(path, GetParam());
    ASSERT_TRUE(read.error);
    EXPECT_TRUE(read.error->contains(QString::number(cap + 1))) << read.error->toStdString();
    EXPECT_TRUE(read.bytes.isEmpty());

    QFile(path).resize(cap);
    const InputFile fits = readInputFile(path, GetParam());
    EXPECT_FALSE(fits.error);
    EXPECT_EQ(fits.bytes.size(), cap);
}

TEST_P(InputFileKinds, ADeviceWithoutEndIsReadOnlyUpToTheCap)
{
    const InputFile read = readInputFile(QStringLiteral("/dev/zero"), GetParam());
    ASSERT_TRUE(read.error);
    EXPECT_TRUE(read.error->contains(QString::number(inputCap(GetParam())))) << read.error->toStdString();
    EXPECT_TRUE(read.bytes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, InputFileKinds,
                         testing::Values(InputKind::Configuration, InputKind::Update, InputKind::PhoneBook));

TEST(InputFile, APipeIsReadToItsEnd)
{
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const QByteArray content = "BEGIN:VCARD\nFN:Anna\nEND:VCARD\n";
    ASSERT_EQ(write(ends[1], content.constData(), static_cast<std::size_t>(content.size())), content.size());
    close(ends[1]);
    const InputFile read = readInputFile(QStringLiteral("/proc/self/fd/%1").arg(ends[0]), InputKind::PhoneBook);
    close(ends[0]);
    EXPECT_FALSE(read.error);
    EXPECT_EQ(read.bytes, content);
}

TEST(InputFile, AConfigurationFileGivesItsRecordAndItsSize)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.cfg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(5000, 'x'));
    file.close();
    const ConfigFileContent content = readConfigFile(path);
    EXPECT_EQ(content.size, 5000);
    EXPECT_EQ(content.bytes.size(), static_cast<qsizetype>(kRecordSize));
    EXPECT_TRUE(readConfigFile(QStringLiteral("/dev/zero")).error) << "a device without end is no record";
}
