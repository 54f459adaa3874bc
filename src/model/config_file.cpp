// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and loading configuration files.
#include "model/config_file.h"

#include "model/byte_span.h"
#include "model/checked_files.h"
#include "model/input_file.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString createError(const QString &fileName, const QString &reason)
{
    return QCoreApplication::translate("ConfigFile", "Cannot create file \"%1\". %2")
        .arg(QDir::toNativeSeparators(fileName), reason);
}

} // namespace

QString withConfigExtension(const QString &fileName)
{
    const qsizetype separator = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > separator ? fileName.mid(dot) : QString();
    if (extension == QLatin1String(kConfigExtension))
        return fileName;
    return fileName + QLatin1String(kConfigExtension);
}

std::optional<QString> saveConfigFile(const QString &fileName, const DeviceRecord &record)
{
    if (std::optional<QString> error = writeWholeFile(fileName, toByteArray(record.bytes()), FileKind::Shared))
        return createError(fileName, *error);
    return std::nullopt;
}

ConfigFileContent readConfigFile(const QString &fileName)
{
    InputFile file = readInputFile(fileName, InputKind::Configuration);
    if (file.error)
        return {{}, 0, std::move(file.error)};
    const qint64 size = file.bytes.size();
    // Bytes after the first record's worth are ignored.
    file.bytes.truncate(static_cast<qsizetype>(kRecordSize));
    return {std::move(file.bytes), size, std::nullopt};
}
