// SPDX-License-Identifier: GPL-3.0-or-later
// The command's waits on a nested event loop.
#include "app/tool_waiter.h"

#include <QEventLoop>
#include <QTimer>

namespace vestra7 {

bool ToolWaiter::waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout)
{
    if (condition())
        return true;
    if (m_interruption != 0)
        return false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &ToolWaiter::changed, &loop, [&] {
        if (condition() || m_interruption != 0)
            loop.quit();
    });
    deadline.start(timeout);
    loop.exec();
    return condition();
}

void ToolWaiter::interrupt(int signal)
{
    m_interruption = signal;
    emit changed();
}

} // namespace vestra7
