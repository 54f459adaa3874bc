// SPDX-License-Identifier: GPL-3.0-or-later
// Small pieces the commands without a window share: device texts made safe to print, errors on
// standard error, file contents as bytes.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <span>

class QIODevice;

namespace vestra7 {

// A device's own text with its control characters written out, so that it can neither forge a
// line of the list nor reach the terminal as an escape sequence: "\n", "\x1b".
QString escapedDeviceText(const QString &text);
// "vestra7: <text>" as a line, a file name in it with the bytes it was given in.
void writeToolError(QIODevice &err, const QString &text);

} // namespace vestra7
