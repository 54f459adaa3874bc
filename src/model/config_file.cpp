// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and loading configuration files.
#include "model/config_file.h"

#include "model/byte_span.h"
#include "model/checked_files.h"
#include "model/file_messages.h"
#include "model/input_file.h"

namespace vestra7 {

QString withConfigExtension(const QString &fileName)
{
    const qsizetype separator = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > separator ? fileName.mid(dot) : QString();
    if (extension == QLatin1String(kConfigExtension))
        return fileName;
    return fileName + QLatin1String(kConfigExtension);
}

Result<void> saveConfigFile(const QString &fileName, const DeviceRecord &record)
{
    if (const Result<void> written = writeWholeFile(fileName, toByteArray(record.bytes()), FileKind::Shared); !written)
        return cannotCreateFile(fileName, written.error().message);
    return {};
}

Result<ConfigFileContent> readConfigFile(const QString &fileName)
{
    Result<QByteArray> file = readWholeFile(fileName, InputKind::Configuration);
    if (!file)
        return file.error();
    const qint64 size = file->size();
    // Bytes after the first record's worth are ignored.
    file->truncate(static_cast<qsizetype>(kRecordSize));
    return ConfigFileContent{std::move(*file), size};
}

} // namespace vestra7
