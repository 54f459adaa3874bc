// SPDX-License-Identifier: GPL-3.0-or-later
// The bounded reader of input files.
#include "model/input_file.h"

#include "model/checked_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {

// A record is 1789 bytes. A file somewhat larger is still read as the record at its start, as
// loading always has done; nothing near this size is a configuration file.
constexpr qint64 kConfigurationCap = 64 * 1024;
// The adapter's firmware is a microcontroller image of a few hundred kilobytes at most; 16 MiB leaves
// ample room and still refuses a disk image or a device given by mistake at once.
constexpr qint64 kUpdateCap = 16 * 1024 * 1024;
// Address books exported from phones carry photos and reach tens of megabytes. The parsers are
// linear and keep only the entries the adapter holds, so the cost of a large file is its text: the
// bytes and their UTF-16 decoding, about three times the file at the peak. 128 MiB keeps that under
// half a gigabyte while taking the largest exports seen.
constexpr qint64 kPhoneBookCap = 128 * 1024 * 1024;
// Devices and pipes are read in pieces of this size.
constexpr qint64 kStreamPiece = 64 * 1024;

QString tooLarge(InputKind kind, const QString &size)
{
    switch (kind) {
    case InputKind::Configuration:
        return QCoreApplication::translate("InputFile", "%1; a configuration file has at most %2 bytes.")
            .arg(size)
            .arg(inputCap(kind));
    case InputKind::Update:
        return QCoreApplication::translate("InputFile", "%1; an update file has at most %2 bytes.")
            .arg(size)
            .arg(inputCap(kind));
    case InputKind::PhoneBook:
        break;
    }
    return QCoreApplication::translate("InputFile", "%1; a phone-book file has at most %2 bytes.")
        .arg(size)
        .arg(inputCap(kind));
}

InputFile openFailure(const QString &fileName, const QString &reason)
{
    return {{},
            QCoreApplication::translate("InputFile", "Cannot open file \"%1\". %2")
                .arg(QDir::toNativeSeparators(fileName), reason)};
}

InputFile failure(const QString &fileName, const QString &reason)
{
    return {{},
            QCoreApplication::translate("InputFile", "Cannot read file \"%1\". %2")
                .arg(QDir::toNativeSeparators(fileName), reason)};
}

} // namespace

qint64 inputCap(InputKind kind)
{
    switch (kind) {
    case InputKind::Configuration:
        return kConfigurationCap;
    case InputKind::Update:
        return kUpdateCap;
    case InputKind::PhoneBook:
        break;
    }
    return kPhoneBookCap;
}

InputFile readInputFile(const QString &fileName, InputKind kind)
{
    const qint64 cap = inputCap(kind);
    QFile file;
    if (const std::optional<QString> error = openNamedFile(fileName, file))
        return openFailure(fileName, *error);
    struct stat status
    {
    };
    if (fstat(file.handle(), &status) != 0)
        return failure(fileName, file.errorString());

    QByteArray bytes;
    if (S_ISREG(status.st_mode)) {
        if (status.st_size > cap)
            return failure(fileName, tooLarge(kind, QCoreApplication::translate("InputFile", "It is %1 bytes")
                                                        .arg(static_cast<qint64>(status.st_size))));
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
        return failure(fileName, file.errorString());
    if (bytes.size() > cap)
        return failure(
            fileName, tooLarge(kind, QCoreApplication::translate("InputFile", "It gives more than %1 bytes").arg(cap)));
    return {std::move(bytes), std::nullopt};
}
