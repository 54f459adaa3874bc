// SPDX-License-Identifier: GPL-3.0-or-later
// The QTimer-based repeat timer.
#include "widgets/repeat_timer.h"

namespace vestra7 {

QtRepeatTimer::QtRepeatTimer(QObject *parent)
    : RepeatTimer(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RepeatTimer::timeout);
}

void QtRepeatTimer::start(std::chrono::milliseconds delay)
{
    m_timer.start(delay);
}

void QtRepeatTimer::stop()
{
    m_timer.stop();
}

} // namespace vestra7
