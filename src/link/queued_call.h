// A fixed call that any thread may ask the GUI thread to make.
#pragma once

#include <QObject>

#include <functional>

// The call is connected once, on the GUI thread, and each post() is a signal without arguments.
// Nothing written by the posting thread travels inside Qt's event: whatever the call needs, the
// poster hands over under a lock of its own, which ThreadSanitizer can follow (it cannot see Qt's
// internal synchronisation).
class QueuedCall final : public QObject
{
    Q_OBJECT

public:
    // Create it on the thread that is to make the call.
    explicit QueuedCall(std::function<void()> call, QObject *parent = nullptr);

    // Any thread: queue one call. Calls queued when the object is destroyed are dropped.
    void post();

signals:
    void posted();

private:
    std::function<void()> m_call;
};
