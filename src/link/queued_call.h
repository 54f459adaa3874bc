// A fixed call that any thread may ask the GUI thread to make.
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

// The poster only bumps a counter that the GUI thread's event loop watches: no Qt event is built
// on the posting thread. Whatever the call needs, the poster hands over under a lock of its own,
// which ThreadSanitizer can follow; it cannot see Qt's internal synchronisation, so data carried
// inside a Qt event from another thread would look like a race to it. Posts made before the call
// runs are answered by one call: the call must take everything that is waiting.
class QueuedCall final : public QObject
{
    Q_OBJECT

public:
    // Create it on the thread that is to make the call, and destroy it there once no thread posts.
    explicit QueuedCall(std::function<void()> call, QObject *parent = nullptr);
    ~QueuedCall() override;

    // Any thread.
    void post();

private:
    void take();

    std::function<void()> m_call;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
