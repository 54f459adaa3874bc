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

// A text from outside (a device's, a file's, another program's) as it may reach a terminal or a
// log: what a terminal would act on is written out, so that it can neither forge a line nor reach
// the terminal as an escape sequence: "\n", "\t", "\x1b", "\x9b", "\u202e"; a backslash is doubled.
// The bytes of a file name that is not UTF-8 are kept, except those that are C1 controls.
QString escapedDeviceText(const QString &text);
// "vestra7: <text>" as a line, the text escaped as above, a file name in it with the bytes it was
// given in.
void writeToolError(QIODevice &err, const QString &text);

} // namespace vestra7
