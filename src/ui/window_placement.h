// SPDX-License-Identifier: GPL-3.0-or-later
// Where a window opens over or beside another.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace vestra7 {

// Moves `window` so that its frame is centred over the frame of `over`. A window never shown yet
// has no frame: give it its size first, or it lands off centre by its frame's width.
void centreOver(QWidget &window, const QWidget &over);

// Where a frame of `size` goes beside the frame `beside` on a screen whose free area is `screen`:
// to its right where the screen has room, else to its left, level with its top as far as the screen
// lets it; over it, centred, only where neither side has room.
QPoint besidePosition(const QRect &beside, const QSize &size, const QRect &screen);

// Moves `window` beside `main`, on the screen that shows `main`. A window never shown yet is given
// the frame `main` has.
void placeBeside(QWidget &window, const QWidget &main);

} // namespace vestra7
