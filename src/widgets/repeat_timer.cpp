// SPDX-License-Identifier: GPL-3.0-or-later
// The QTimer-based repeat timer.
#include "widgets/repeat_timer.h"

QtRepeatTimer::QtRepeatTimer()
{
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_onTimeout)
            m_onTimeout();
    });
}

void QtRepeatTimer::start(std::chrono::milliseconds delay, std::function<void()> onTimeout)
{
    m_onTimeout = std::move(onTimeout);
    m_timer.start(delay);
}

void QtRepeatTimer::stop()
{
    m_timer.stop();
}
