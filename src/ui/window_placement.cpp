// SPDX-License-Identifier: GPL-3.0-or-later
// Where a window opens over another.
#include "ui/window_placement.h"

#include <QWidget>

namespace vestra7 {

void centreOver(QWidget &window, const QWidget &over)
{
    const QRect under = over.frameGeometry();
    const QSize own = window.frameGeometry().size();
    window.move(under.left() + under.width() / 2 - own.width() / 2,
                under.top() + under.height() / 2 - own.height() / 2);
}

} // namespace vestra7
