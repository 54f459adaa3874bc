// SPDX-License-Identifier: GPL-3.0-or-later
// Where a window opens over another.
#pragma once

class QWidget;

namespace vestra7 {

// Moves `window` so that its frame is centred over the frame of `over`. A window never shown yet
// has no frame: give it its size first, or it lands off centre by its frame's width.
void centreOver(QWidget &window, const QWidget &over);

} // namespace vestra7
