// SPDX-License-Identifier: GPL-3.0-or-later
// Waiting, without a window, for what the adapters say, until a signal asks the command to end.
#pragma once

#include <QObject>

#include <chrono>
#include <functional>

namespace vestra7 {

class ToolWaiter final : public QObject
{
    Q_OBJECT

public:
    // Runs the event loop until `condition` holds, the time is up or the command is asked to end;
    // whether the condition holds. The condition is looked at again at each notice.
    bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout);

    // Something a wait looks at may have changed.
    void notice() { emit changed(); }
    // A signal asked the command to end: every wait stops.
    void interrupt(int signal);
    // The signal that asked the command to end; 0 while none has.
    int interruption() const { return m_interruption; }

signals:
    void changed();

private:
    int m_interruption = 0;
};

} // namespace vestra7
