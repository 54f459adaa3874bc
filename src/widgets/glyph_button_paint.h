// SPDX-License-Identifier: GPL-3.0-or-later
// The glyph button's painting, as pure steps: choosing the cell, placing it and composing the face
// in an off-screen image.
#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>

namespace vestra7 {

// How many square cells a glyph of this size holds side by side: its width div its height.
int glyphCellCount(QSize glyph);

// Which cell of the glyph a button shows. A disabled button shows cell 1; an enabled one cell 0,
// cell 2 while down (when the glyph has more than two cells) or cell 3 while the pointer is on it
// (when it has more than three). Down wins over hover.
int glyphCellIndex(bool enabled, bool down, bool hover, int cellCount);

// The picture of one cell, a cellCount-th of the glyph's width. When the glyph is too narrow to hold
// that cell, what it lacks keeps showing the first cell, so a one-cell glyph looks the same in every
// state.
QImage glyphCellImage(const QImage &glyph, int cellCount, int cellIndex);

// Where a cell lands: centred in the button, ((W - w) div 2, (H - h) div 2).
QPoint glyphCellOrigin(QSize button, QSize cell);

// The face of a button of this size, ready to draw over its parent: the cell centred, with the colour
// of its bottom-left pixel and the key colour (magenta) fully transparent.
QImage composeGlyphButton(QSize button, const QImage &cell);

} // namespace vestra7
