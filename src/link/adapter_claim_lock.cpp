// SPDX-License-Identifier: GPL-3.0-or-later
// The lock an Adapter takes before it claims a device, and its wait for one another program holds.
#include "link/adapter_claim_lock.h"

#include "link/adapter_lock.h"
#include "link/logging.h"

namespace vestra7 {

AdapterClaimLock::AdapterClaimLock(QObject *parent)
    : QObject(parent)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetry);
    connect(&m_retry, &QTimer::timeout, this, &AdapterClaimLock::retryDue);
}

AdapterClaimLock::~AdapterClaimLock() = default;

void AdapterClaimLock::setScope(const QString &scope)
{
    m_lock = scope.isEmpty() ? nullptr : std::make_unique<AdapterLock>(scope);
}

bool AdapterClaimLock::take(const QString &key)
{
    if (!m_lock)
        return true;
    if (const Result<void, AdapterLockHolder> taken = m_lock->take(key); !taken) {
        const AdapterLockHolder &holder = taken.error();
        // A holder that said it hands over may be too busy letting go to say so again in time: it is
        // taken at its word for as long as it holds the adapter.
        const bool saidSoBefore =
            m_handsOver && key == m_waitedKey && holder.processId != 0 && holder.processId == m_holderProcess;
        m_holderProcess = holder.processId;
        setHolder(key, adapterInUseText(holder), holder.handsOver || saidSoBefore, !holder.failure.isEmpty());
        m_retry.start();
        return false;
    }
    m_holderProcess = 0;
    setHolder({}, {}, false, false);
    return true;
}

QString AdapterClaimLock::heldKey() const
{
    return m_lock ? m_lock->key() : QString();
}

void AdapterClaimLock::restore(const QString &heldBefore)
{
    if (!m_lock || m_lock->key() == heldBefore)
        return;
    m_lock->release();
    if (!heldBefore.isEmpty() && !m_lock->take(heldBefore))
        qCDebug(lcHid) << "the adapter held before is held by another program now:" << heldBefore;
}

void AdapterClaimLock::release()
{
    m_retry.stop();
    if (m_lock)
        m_lock->release();
}

void AdapterClaimLock::stopWaiting()
{
    m_retry.stop();
    m_holderProcess = 0;
    setHolder({}, {}, false, false);
}

void AdapterClaimLock::setHolder(const QString &key, const QString &holder, bool handsOver, bool failed)
{
    m_waitedKey = key;
    m_handsOver = handsOver;
    m_failed = failed;
    if (m_holder == holder)
        return;
    m_holder = holder;
    if (failed)
        qCWarning(lcHid) << "adapter" << key << "waits:" << holder;
    else if (!holder.isEmpty())
        qCDebug(lcHid) << "adapter" << key << "waits:" << holder;
    emit holderChanged(holder);
}

} // namespace vestra7
