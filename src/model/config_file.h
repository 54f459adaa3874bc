// The configuration file: the raw 1789-byte record, nothing before or after it.
#pragma once

#include "model/device_record.h"

#include <QString>

#include <optional>

inline constexpr char kConfigExtension[] = ".cfg";

// Appends ".cfg" unless the name's extension (from the last dot after the last path separator) is
// exactly ".cfg", case included.
QString withConfigExtension(const QString &fileName);

// Writes the whole record through a temporary file that replaces the target only once complete,
// so a failed save leaves an existing file as it was. Returns the message for the user on failure.
std::optional<QString> saveConfigFile(const QString &fileName, const DeviceRecord &record);

// Copies the file's first bytes, at most one record's worth, over the record; a shorter file
// leaves the rest of the record as it was. The content is not checked. Returns the message for the
// user when the file cannot be read, and then leaves the record untouched.
std::optional<QString> loadConfigFile(const QString &fileName, DeviceRecord &record);
