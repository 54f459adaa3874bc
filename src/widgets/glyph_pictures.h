// SPDX-License-Identifier: GPL-3.0-or-later
// The call and hang-up pictures compiled into the program, found by name without regard to case.
#pragma once

#include <QImage>
#include <QString>

namespace vestra7 {

// The picture stored under `name` ("ON", "OFF", "NON", "NOFF"; "nON" finds "NON"), or a null image
// when no picture has that name.
QImage glyphPicture(const QString &name);

} // namespace vestra7
