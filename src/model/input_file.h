// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a whole file, bounded by a size cap that depends on what the file is meant to be.
#pragma once

#include "model/result.h"

#include <QByteArray>
#include <QString>

namespace vestra7 {

// What a file is read as; each kind has its own cap.
enum class InputKind {
    // Files the user names, opened by the bytes of their names as any program opens them.
    Configuration,
    Update,
    PhoneBook,
    // The program's own files: a link or a pipe put in their place is refused, never read through.
    Backup,
    BackupIndex,
};

// The most bytes a file of the kind may hold.
qint64 inputCap(InputKind kind);

// Every whole file the program reads comes through here. A regular file larger than the cap is
// refused with its size named before any byte is read. A device, pipe or socket reports no size
// (/dev/zero reports 0), so it is read only until it ends or passes the cap, and refused in the
// latter case.
Result<QByteArray> readWholeFile(const QString &fileName, InputKind kind);

} // namespace vestra7
