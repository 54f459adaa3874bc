// SPDX-License-Identifier: GPL-3.0-or-later
// Queueing a fixed call onto the thread that owns the object.
#include "link/queued_call.h"

#include <QMetaObject>

#include <cassert>

namespace {

constexpr char kTake[] = "take";

} // namespace

QueuedCall::QueuedCall(std::function<void()> call, QObject *parent)
    : QObject(parent)
    , m_call(std::move(call))
{
    assert(metaObject()->indexOfMethod("take()") >= 0);
}

void QueuedCall::post()
{
    if (!m_posted.exchange(true))
        QMetaObject::invokeMethod(this, kTake, Qt::QueuedConnection);
}

void QueuedCall::take()
{
    // Cleared first: a post made while the call runs asks for another call.
    m_posted = false;
    m_call();
}
