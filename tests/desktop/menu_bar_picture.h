// SPDX-License-Identifier: GPL-3.0-or-later
// Where a window's menu bar shows its entries, and where the lines of text of a menu or a form lie,
// read from pictures as the eye reads them.
#pragma once

#include <QImage>
#include <QRect>

#include <vector>

namespace vestra7 {

// The menu bar is the first line of dark text from the top of `window` (the window's inside). Its
// entries are the `count` groups of text set apart by the widest gaps on that line: an entry may
// hold spaces, but they are narrower than the room between two entries. Empty when the line does
// not show that many clearly apart, as while some entries are disabled and greyed out.
std::vector<QRect> menuBarEntries(const QImage &window, int count);

// The lines of dark text `picture` holds, one under the other, as the entries of an open menu or the
// rows of a form: each as wide as the picture, from the top of its ink to the bottom.
std::vector<QRect> textLines(const QImage &picture);

} // namespace vestra7
