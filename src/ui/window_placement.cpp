// SPDX-License-Identifier: GPL-3.0-or-later
// Where a window opens over or beside another.
#include "ui/window_placement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace vestra7 {

namespace {

// The position moved as little as it takes to keep a frame of `size` on `screen`, where it fits.
QPoint keptOn(QPoint position, const QSize &size, const QRect &screen)
{
    position.setX(std::max(screen.left(), std::min(position.x(), screen.left() + screen.width() - size.width())));
    position.setY(std::max(screen.top(), std::min(position.y(), screen.top() + screen.height() - size.height())));
    return position;
}

} // namespace

void centreOver(QWidget &window, const QWidget &over)
{
    const QRect under = over.frameGeometry();
    const QSize own = window.frameGeometry().size();
    window.move(under.left() + under.width() / 2 - own.width() / 2,
                under.top() + under.height() / 2 - own.height() / 2);
}

QPoint besidePosition(const QRect &beside, const QSize &size, const QRect &screen)
{
    const int right = beside.left() + beside.width();
    if (right + size.width() <= screen.left() + screen.width())
        return keptOn({right, beside.top()}, size, screen);
    if (beside.left() - size.width() >= screen.left())
        return keptOn({beside.left() - size.width(), beside.top()}, size, screen);
    return keptOn(
        {beside.left() + beside.width() / 2 - size.width() / 2, beside.top() + beside.height() / 2 - size.height() / 2},
        size, screen);
}

void placeBeside(QWidget &window, const QWidget &main)
{
    const QRect mainFrame = main.frameGeometry();
    QSize own = window.frameGeometry().size();
    if (!window.testAttribute(Qt::WA_WState_Created) || own == window.size())
        own = window.size() + (mainFrame.size() - main.size());
    const QScreen *screen = main.screen();
    const QRect free = screen != nullptr ? screen->availableGeometry() : mainFrame;
    window.move(besidePosition(mainFrame, own, free));
}

} // namespace vestra7
