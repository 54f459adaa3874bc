// SPDX-License-Identifier: GPL-3.0-or-later
// File names as the system holds them: bytes, which need not be UTF-8, carried losslessly in a QString.
#pragma once

#include <QByteArray>
#include <QString>

namespace vestra7 {

// UTF-8 where the bytes are UTF-8; every other byte becomes a lone low surrogate (U+DC80 + byte),
// which no decoded text contains, so that a name from the command line such as "caf\xe9.cfg" names
// the same file again when it is opened. Qt's own decoding would replace such a byte for good.
QString fileNameFromBytes(const QByteArray &bytes);

// The bytes of a name made by fileNameFromBytes(), or UTF-8 for any other text.
QByteArray fileNameBytes(const QString &name);

} // namespace vestra7
