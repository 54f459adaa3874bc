// SPDX-License-Identifier: GPL-3.0-or-later
// Update files for tests: built in memory and written to a folder that goes with the test.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <string_view>
#include <vector>

namespace vestra7 {

// An update file: the payload offset, two bytes that mean nothing, the header text and its zero,
// filler up to the offset when that lies further on, then the payload bytes.
std::vector<std::uint8_t> updateFile(std::string_view headerText, const std::vector<std::uint8_t> &payload,
                                     std::uint16_t payloadOffset);
// The same with the payload directly behind the header text's zero.
std::vector<std::uint8_t> updateFile(std::string_view headerText, const std::vector<std::uint8_t> &payload);
// `count` bytes that differ from chunk to chunk, so that a chunk in the wrong place shows.
std::vector<std::uint8_t> payloadBytes(std::size_t count);

// Files written for one test, removed with it.
class FileFolder
{
public:
    QString write(const QString &name, const std::vector<std::uint8_t> &bytes);
    QString path(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

} // namespace vestra7
