// SPDX-License-Identifier: GPL-3.0-or-later
// The automatic backups: when an adapter is first seen, and before each step that replaces its record.
#include "ui/backup_keeper.h"

#include "link/adapter_port.h"
#include "model/boot_loader_name.h"

#include <QCoreApplication>

BackupKeeper::BackupKeeper(AdapterPort &adapter, const QString &root, QObject *parent)
    : QObject(parent)
    , m_adapter(adapter)
    , m_store(root)
{
    connect(&m_adapter, &AdapterPort::identityChanged, this, &BackupKeeper::onIdentityChanged);
    connect(&m_adapter, &AdapterPort::connectionChanged, this, &BackupKeeper::onConnectionChanged);
    connect(&m_adapter, &AdapterPort::recordChanged, this, &BackupKeeper::onRecordChanged);
}

QString BackupKeeper::defaultRoot()
{
    return BackupStore::defaultRoot();
}

void BackupKeeper::onIdentityChanged(const AdapterIdentity &identity)
{
    m_identitySerial = identity.serial;
}

void BackupKeeper::onConnectionChanged(bool connected)
{
    m_connected = connected;
}

void BackupKeeper::onRecordChanged()
{
    // Only a record read from an adapter in its firmware is the adapter's; the boot loader sends none.
    if (!m_connected)
        return;
    m_recordSerial = m_identitySerial;
    m_holdsRecord = true;
    if (m_seenSerials.contains(m_recordSerial))
        return;
    // Once per adapter and session: later records only follow the user's own changes, which the
    // steps that replace them back up.
    m_seenSerials.insert(m_recordSerial);
    if (!m_store.root().isEmpty() &&
        m_store.backUp(m_recordSerial, m_adapter.record(), BackupStep::FirstSeen).succeeded())
        emit backupsChanged();
}

bool BackupKeeper::backUpBefore(BackupStep step, QWidget *parent)
{
    QString problem;
    if (m_store.root().isEmpty()) {
        // Without a home there is no data folder; a relative one would scatter backups wherever the
        // program was started.
        problem = tr("No folder is known to keep backups in.");
    } else if (!m_holdsRecord || m_identitySerial != m_recordSerial) {
        // The record held is another adapter's when a different one was found since (one met in its
        // boot loader sends none): backing that up would keep nothing of the adapter about to change.
        problem = tr("The program has not read this adapter's record yet, so it cannot be backed up.");
    } else {
        const BackupOutcome outcome = m_store.backUp(m_recordSerial, m_adapter.record(), step);
        if (outcome.succeeded()) {
            if (!outcome.alreadyStored)
                emit backupsChanged();
            return true;
        }
        problem = outcome.error;
    }
    return confirm(
        parent,
        tr("%1\n\nGo on without a backup? What the adapter holds now cannot be restored afterwards.").arg(problem),
        true);
}

bool BackupKeeper::confirm(QWidget *parent, const QString &question, bool cancelFirst) const
{
    if (m_confirm)
        return m_confirm(parent, question);
    return cancelFirst ? cautiousConfirmBox(parent, question) : confirmBox(parent, question);
}
