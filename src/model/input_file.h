// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a whole input file, bounded by a size cap that depends on what the file is meant to be.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What a file is read as; each kind has its own cap.
enum class InputKind { Configuration, Update, PhoneBook };

// The most bytes a file of the kind may hold.
qint64 inputCap(InputKind kind);

// A file's bytes, or why they could not be read.
struct InputFile
{
    QByteArray bytes;
    // The message for the user when the file could not be read or is too large; `bytes` is then empty.
    std::optional<QString> error;
};

// A regular file larger than the cap is refused with its size named before any byte is read. A device,
// pipe or socket reports no size (/dev/zero reports 0), so it is read only until it ends or passes the
// cap, and refused in the latter case.
InputFile readInputFile(const QString &fileName, InputKind kind);
