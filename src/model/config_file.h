// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration file: the raw 1789-byte record, nothing before or after it.
#pragma once

#include "model/device_record.h"
#include "model/result.h"

#include <QByteArray>
#include <QString>

namespace vestra7 {

inline constexpr char kConfigExtension[] = ".cfg";

// Appends ".cfg" unless the name's extension (from the last dot after the last path separator) is
// exactly ".cfg", case included.
QString withConfigExtension(const QString &fileName);

// Writes the whole record through a temporary file that replaces the target only once complete,
// so a failed save leaves an existing file as it was.
Result<void> saveConfigFile(const QString &fileName, const DeviceRecord &record);

// What a configuration file gives the record.
struct ConfigFileContent
{
    // The file's first bytes, at most one record's worth. The content is not checked: a shorter file
    // stands for the start of a record.
    QByteArray bytes;
    // How many bytes the file holds, also beyond the first record.
    qint64 size = 0;
};

// Read through the bounded reader: a file beyond its cap for configuration files is refused.
Result<ConfigFileContent> readConfigFile(const QString &fileName);

} // namespace vestra7
