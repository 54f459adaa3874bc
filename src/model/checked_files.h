// SPDX-License-Identifier: GPL-3.0-or-later
// Every file the program writes goes through here: checked to the last byte, replaced only whole.
#pragma once

#include "model/result.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

namespace vestra7 {

enum class FileKind {
    // The user's own files (a saved configuration, an exported phone book): as readable as the umask
    // lets them be, an existing file's permissions kept, a link to a regular file written through.
    Shared,
    // Data that holds phone numbers and call lists, kept by the program itself: 0600, and a link at
    // the name or at the folder is refused, never followed.
    Private,
};

// Writes `content` to a new file beside `path`, checking every write and the sync to the disk, and
// only then renames it over `path`; a full disk or any other failure leaves an existing file as it
// was and the temporary file removed. An existing `path` that is not a regular file (a device, a
// pipe, a folder) is refused. A failure says why, as a sentence for the user.
Result<void> writeWholeFile(const QString &path, const QByteArray &content, FileKind kind);

// Writes all of `content` to an open descriptor (standard output, say).
Result<void> writeAll(int fd, const QByteArray &content);

// Opens a regular file for reading without following a link and without waiting on a pipe; the
// file owns the descriptor.
Result<std::unique_ptr<QFile>> openRegularFile(const QString &path);

// Opens a file the user named for reading, by the bytes of its name (see fileNameFromBytes()), as
// QFile::open() would; the file owns the descriptor.
Result<std::unique_ptr<QFile>> openNamedFile(const QString &path);

// Makes `path` a folder that only its owner can enter, creating it (but not its parents) when
// missing and taking the rights of others away from one that is there. A link is refused.
Result<void> makePrivateFolder(const QString &path);

} // namespace vestra7
