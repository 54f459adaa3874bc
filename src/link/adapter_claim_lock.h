// SPDX-License-Identifier: GPL-3.0-or-later
// The lock an Adapter takes before it claims a device, and its wait for one another program holds.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>

namespace vestra7 {

class AdapterLock;

// One program per adapter: before a device is claimed its key's lock is taken here. While another
// program holds it, who that is stays known and a retry falls due every kRetry, since a lock is a
// cheap thing to try. Lives on the GUI thread with its Adapter.
class AdapterClaimLock final : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kRetry{500};

    explicit AdapterClaimLock(QObject *parent = nullptr);
    ~AdapterClaimLock() override;

    // The locks are taken in `scope`; with none, nothing is locked (the backend's devices are this
    // process's own).
    void setScope(const QString &scope);
    // Takes the lock of the adapter with this key; false when another program holds it, which is then
    // announced by holderChanged(), and retryDue() follows.
    bool take(const QString &key);
    // The key whose lock is held; empty when none is.
    QString heldKey() const;
    // Gives back a lock taken for a device this user could not open, and takes the one held before
    // again: a user who may open that adapter must not find it held by one who may not.
    void restore(const QString &heldBefore);
    // Every handle is closed: another program may have the adapter now.
    void release();
    // The adapter waited for has gone: it is waited for no longer.
    void stopWaiting();

    // Who holds the adapter waited for, as holderChanged() said it; empty while none is waited for.
    const QString &holder() const { return m_holder; }
    // The key of the adapter waited for.
    const QString &waitedKey() const { return m_waitedKey; }
    // Whether that holder lets go of it when asked (a service).
    bool holderHandsOver() const { return m_handsOver; }
    // Whether nobody holds it, but the lock could not be taken: holder() then says why.
    bool failed() const { return m_failed; }

signals:
    void holderChanged(const QString &holder);
    void retryDue();

private:
    void setHolder(const QString &key, const QString &holder, bool handsOver, bool failed);

    std::unique_ptr<AdapterLock> m_lock;
    QString m_holder;
    QString m_waitedKey;
    bool m_handsOver = false;
    bool m_failed = false;
    qint64 m_holderProcess = 0; // of the holder waited for, where known
    QTimer m_retry;
};

} // namespace vestra7
