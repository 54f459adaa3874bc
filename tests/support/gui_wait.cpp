// SPDX-License-Identifier: GPL-3.0-or-later
// Event-loop waits for tests.
#include "support/gui_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace vestra7 {

bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout)
{
    QElapsedTimer clock;
    clock.start();
    // Wakes the loop now and then, so that the deadline is seen when nothing else happens.
    QTimer tick;
    tick.start(20);
    while (!condition()) {
        if (clock.elapsed() >= timeout.count())
            return condition();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void drainPostedEvents()
{
    bool reached = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&reached] { reached = true; }, Qt::QueuedConnection);
    waitUntil([&reached] { return reached; });
}

} // namespace vestra7
