// Queueing a fixed call onto the GUI thread through an eventfd watched by its event loop.
#include "link/queued_call.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

QueuedCall::QueuedCall(std::function<void()> call, QObject *parent)
    : QObject(parent)
    , m_call(std::move(call))
    , m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    // Without it no report and no device change could ever reach the GUI thread.
    if (m_fd < 0)
        qFatal("eventfd: the GUI thread cannot be woken");
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &QueuedCall::take);
}

QueuedCall::~QueuedCall()
{
    m_notifier.reset();
    ::close(m_fd);
}

void QueuedCall::post()
{
    const std::uint64_t one = 1;
    // The counter saturates long before it could fail; a full counter still wakes the loop.
    [[maybe_unused]] const ssize_t written = ::write(m_fd, &one, sizeof one);
}

void QueuedCall::take()
{
    std::uint64_t count = 0;
    if (::read(m_fd, &count, sizeof count) == static_cast<ssize_t>(sizeof count) && count > 0)
        m_call();
}
