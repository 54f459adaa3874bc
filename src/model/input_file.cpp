// SPDX-License-Identifier: GPL-3.0-or-later
// The bounded reader of whole files.
#include "model/input_file.h"

#include "model/checked_files.h"
#include "model/file_messages.h"

#include <QCoreApplication>
#include <QFile>

#include <sys/stat.h>

namespace vestra7 {

namespace {

struct KindRules
{
    qint64 cap;
    bool programsOwn;
    const char *tooLarge; // "%1" what the file holds, "%2" the cap
};

// A record is 1789 bytes. A file somewhat larger is still read as the record at its start, as
// loading always has done; nothing near this size is a configuration file. A backup is one too.
constexpr qint64 kConfigurationCap = 64 * 1024;

KindRules rulesOf(InputKind kind)
{
    switch (kind) {
    case InputKind::Configuration:
        return {kConfigurationCap, false,
                QT_TRANSLATE_NOOP("InputFile", "%1; a configuration file has at most %2 bytes.")};
    case InputKind::Update:
        // The adapter's firmware is a microcontroller image of a few hundred kilobytes at most; 16 MiB
        // leaves ample room and still refuses a disk image or a device given by mistake at once.
        return {16 * 1024 * 1024, false, QT_TRANSLATE_NOOP("InputFile", "%1; an update file has at most %2 bytes.")};
    case InputKind::PhoneBook:
        // Address books exported from phones carry photos and reach tens of megabytes. The parsers
        // are linear and keep only the entries the adapter holds, so the cost of a large file is its
        // text: the bytes and their UTF-16 decoding, about three times the file at the peak. 128 MiB
        // keeps that under half a gigabyte while taking the largest exports seen.
        return {128 * 1024 * 1024, false,
                QT_TRANSLATE_NOOP("InputFile", "%1; a phone-book file has at most %2 bytes.")};
    case InputKind::Backup:
        return {kConfigurationCap, true,
                QT_TRANSLATE_NOOP("InputFile", "%1; a configuration file has at most %2 bytes.")};
    case InputKind::BackupIndex:
        break;
    }
    // An index many times the size of 50 entries is not the program's.
    return {1024 * 1024, true, QT_TRANSLATE_NOOP("InputFile", "%1; a backup index has at most %2 bytes.")};
}

// Devices and pipes are read in pieces of this size.
constexpr qint64 kStreamPiece = 64 * 1024;

Error tooLarge(const QString &fileName, InputKind kind, const QString &size)
{
    const KindRules rules = rulesOf(kind);
    return cannotReadFile(fileName, QCoreApplication::translate("InputFile", rules.tooLarge).arg(size).arg(rules.cap));
}

} // namespace

qint64 inputCap(InputKind kind)
{
    return rulesOf(kind).cap;
}

Result<QByteArray> readWholeFile(const QString &fileName, InputKind kind)
{
    const qint64 cap = inputCap(kind);
    const Result<std::unique_ptr<QFile>> opened =
        rulesOf(kind).programsOwn ? openRegularFile(fileName) : openNamedFile(fileName);
    if (!opened)
        return cannotOpenFile(fileName, opened.error().message);
    QFile &file = **opened;
    struct stat status
    {
    };
    if (fstat(file.handle(), &status) != 0)
        return cannotReadFile(fileName, file.errorString());

    QByteArray bytes;
    if (S_ISREG(status.st_mode)) {
        if (status.st_size > cap)
            return tooLarge(
                fileName, kind,
                QCoreApplication::translate("InputFile", "It is %1 bytes").arg(static_cast<qint64>(status.st_size)));
        // One byte more than it had tells a file that grows while it is read.
        bytes = file.read(static_cast<qint64>(status.st_size) + 1);
    } else {
        while (bytes.size() <= cap) {
            const QByteArray piece = file.read(kStreamPiece);
            if (piece.isEmpty())
                break;
            bytes += piece;
        }
    }
    if (file.error() != QFileDevice::NoError)
        return cannotReadFile(fileName, file.errorString());
    if (bytes.size() > cap)
        return tooLarge(fileName, kind,
                        QCoreApplication::translate("InputFile", "It gives more than %1 bytes").arg(cap));
    return bytes;
}

} // namespace vestra7
