// SPDX-License-Identifier: GPL-3.0-or-later
// The update's tick on a Qt timer.
#include "link/tick_timer.h"

namespace vestra7 {

PreciseTickTimer::PreciseTickTimer(QObject *parent)
    : TickTimer(parent)
{
    // A coarse timer may stray by a twentieth of its interval: ten milliseconds on the time an
    // acknowledgement is given.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TickTimer::ticked);
}

void PreciseTickTimer::start(std::chrono::milliseconds interval)
{
    m_timer.start(interval);
}

std::chrono::milliseconds PreciseTickTimer::interval() const
{
    return m_timer.intervalAsDuration();
}

} // namespace vestra7
