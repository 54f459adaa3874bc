// Queueing a fixed call onto the GUI thread.
#include "link/queued_call.h"

QueuedCall::QueuedCall(std::function<void()> call, QObject *parent)
    : QObject(parent)
    , m_call(std::move(call))
{
    connect(
        this, &QueuedCall::posted, this, [this] { m_call(); }, Qt::QueuedConnection);
}

void QueuedCall::post()
{
    emit posted();
}
