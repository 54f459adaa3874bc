// SPDX-License-Identifier: GPL-3.0-or-later
// Update files for tests.
#include "support/update_test_files.h"

#include <QFile>

namespace vestra7 {

std::vector<std::uint8_t> updateFile(std::string_view headerText, const std::vector<std::uint8_t> &payload,
                                     std::uint16_t payloadOffset)
{
    std::vector<std::uint8_t> file;
    file.reserve(4 + headerText.size() + 1 + payloadOffset + payload.size());
    file.push_back(static_cast<std::uint8_t>(payloadOffset & 0xFFu));
    file.push_back(static_cast<std::uint8_t>(payloadOffset >> 8));
    file.push_back(0xA5);
    file.push_back(0x5A);
    for (const char c : headerText)
        file.push_back(static_cast<std::uint8_t>(c));
    file.push_back(0);
    if (file.size() < payloadOffset)
        file.resize(payloadOffset, 0xEE);
    file.insert(file.end(), payload.begin(), payload.end());
    return file;
}

std::vector<std::uint8_t> updateFile(std::string_view headerText, const std::vector<std::uint8_t> &payload)
{
    return updateFile(headerText, payload, static_cast<std::uint16_t>(4 + headerText.size() + 1));
}

std::vector<std::uint8_t> payloadBytes(std::size_t count)
{
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 31 + i / 544 * 7 + 1);
    return bytes;
}

QString FileFolder::write(const QString &name, const std::vector<std::uint8_t> &bytes)
{
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(reinterpret_cast<const char *>(bytes.data()), static_cast<qint64>(bytes.size()));
    return file.fileName();
}

} // namespace vestra7
