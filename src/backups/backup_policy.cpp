// SPDX-License-Identifier: GPL-3.0-or-later
// The automatic backups: when an adapter is first seen, and before each step that replaces its record.
#include "backups/backup_policy.h"

#include "model/backup_store.h"
#include "model/boot_loader_name.h"
#include "ports/adapter_port.h"

#include <QCoreApplication>

#include <algorithm>
#include <utility>

namespace vestra7 {

BackupPolicy::BackupPolicy(AdapterPort &adapter, const QString &root, QObject *parent)
    : QObject(parent)
    , m_adapter(adapter)
    , m_store(root)
{
    connect(&m_adapter, &AdapterPort::identityChanged, this, &BackupPolicy::onIdentityChanged);
    connect(&m_adapter, &AdapterPort::connectionChanged, this, &BackupPolicy::onConnectionChanged);
    connect(&m_adapter, &AdapterPort::recordChanged, this, &BackupPolicy::onRecordChanged);
}

QString BackupPolicy::defaultRoot()
{
    return BackupStore::defaultRoot();
}

void BackupPolicy::onIdentityChanged(const AdapterIdentity &identity)
{
    m_identity = identity.storeIdentity();
    m_identityInBootLoader = isBootLoaderName(identity.product);
    // A record announced before the adapter was found (again) may be the one it replaced.
    m_recordBeforeConnection = false;
}

void BackupPolicy::onConnectionChanged(bool connected)
{
    m_connected = connected;
    // An adapter taken in place of another counts as connected only once its first record has come,
    // which is announced just before: that record is its own.
    if (connected && std::exchange(m_recordBeforeConnection, false))
        onRecordChanged();
}

void BackupPolicy::onRecordChanged()
{
    // Only a record read from an adapter in its firmware is the adapter's; the boot loader sends none.
    if (!m_connected) {
        m_recordBeforeConnection = true;
        return;
    }
    m_recordAdapter = m_identity;
    m_holdsRecord = true;
    if (!m_backUpFirstSeen ||
        std::find(m_seenAdapters.begin(), m_seenAdapters.end(), m_recordAdapter) != m_seenAdapters.end())
        return;
    // Once per adapter and session: later records only follow the user's own changes, which the
    // steps that replace them back up.
    m_seenAdapters.push_back(m_recordAdapter);
    if (!m_store.root().isEmpty() && m_store.backUp(m_recordAdapter, m_adapter.record(), BackupStep::FirstSeen))
        emit backupsChanged();
}

Result<QString> BackupPolicy::planBefore(BackupStep step) const
{
    const bool recordIsThisAdapters = m_holdsRecord && m_identity == m_recordAdapter;
    // An adapter met in its boot loader (an interrupted update) runs no firmware with a record to
    // read, and a new firmware is what brings it back.
    if (step == BackupStep::FirmwareUpdate && m_identityInBootLoader && !recordIsThisAdapters)
        return QString();
    if (m_store.root().isEmpty()) {
        // Without a home there is no data folder; a relative one would scatter backups wherever the
        // program was started.
        return Error{tr("No folder is known to keep backups in.")};
    }
    if (!recordIsThisAdapters) {
        // The record held is another adapter's when a different one was found since (one met in its
        // boot loader sends none): backing that up would keep nothing of the adapter about to change.
        return Error{tr("The program has not read this adapter's record yet, so it cannot be backed up.")};
    }
    return m_store.folderFor(m_recordAdapter);
}

Result<QString> BackupPolicy::backUpBefore(BackupStep step)
{
    Result<QString> attempt = planBefore(step);
    if (!attempt || attempt->isEmpty())
        return attempt;
    const Result<StoredBackup> stored = m_store.backUp(m_recordAdapter, m_adapter.record(), step);
    if (!stored)
        return stored.error();
    // A backup that already held the record has the step noted: it changed too.
    emit backupsChanged();
    return stored->path;
}

} // namespace vestra7
