// SPDX-License-Identifier: GPL-3.0-or-later
// When the adapter's record is backed up: when an adapter is first seen, and before each step that
// replaces what it holds. The window and the command line share it; only how they ask differs.
#pragma once

#include "model/backup_step.h"
#include "model/backup_store.h"
#include "model/result.h"

#include <QObject>
#include <QString>

#include <vector>

namespace vestra7 {

class AdapterPort;
struct AdapterIdentity;

// One for the program (or the command), following the adapter it listens to.
class BackupPolicy final : public QObject
{
    Q_OBJECT

public:
    // The backups live in their own folder per adapter under `root`.
    BackupPolicy(AdapterPort &adapter, const QString &root, QObject *parent = nullptr);

    // Where the program keeps its backups unless told otherwise: the user's application data.
    static QString defaultRoot();

    // Backs up the record the program last read from the adapter before `step`. The step may go on
    // when the attempt succeeded: the backup is stored, the newest one holds the same bytes, or the
    // step is a firmware update of an adapter met in its boot loader, which has no record to keep
    // and for which the update is the way back. Otherwise the caller asks, or stops. The value is
    // the backup that holds the record, empty when none was needed; the error, why none could be made.
    Result<QString> backUpBefore(BackupStep step);
    // The same without writing anything: where the backup would go, or why none could be made.
    Result<QString> planBefore(BackupStep step) const;

    // Whether an adapter is backed up the first time a record of it comes; on unless a command was
    // told to write nothing or to keep no backups.
    void setBackUpFirstSeen(bool enabled) { m_backUpFirstSeen = enabled; }

    // The adapters backed up when first seen in this session. A command that hands an adapter over
    // to a policy of its own gives it these, so that an adapter has one such backup per session.
    const std::vector<StoreIdentity> &seenAdapters() const { return m_seenAdapters; }
    void setSeenAdapters(std::vector<StoreIdentity> seen) { m_seenAdapters = std::move(seen); }

    const BackupStore &store() const { return m_store; }
    // The adapter whose record the program holds; an empty identity before any record came.
    StoreIdentity currentAdapter() const { return m_recordAdapter; }
    bool holdsRecord() const { return m_holdsRecord; }
    // An adapter in its firmware is claimed, so a record written now reaches it.
    bool adapterConnected() const { return m_connected; }

signals:
    // A backup was written, or the step noted on the newest one that held the record already.
    void backupsChanged();

private:
    void onIdentityChanged(const AdapterIdentity &identity);
    void onConnectionChanged(bool connected);
    void onRecordChanged();

    AdapterPort &m_adapter;
    BackupStore m_store;
    StoreIdentity m_identity; // the adapter found last
    bool m_identityInBootLoader = false;
    StoreIdentity m_recordAdapter; // the adapter whose record was read last
    bool m_connected = false;
    bool m_holdsRecord = false;
    bool m_recordBeforeConnection = false; // the adapter found last sent a record before it counted as connected
    bool m_backUpFirstSeen = true;
    std::vector<StoreIdentity> m_seenAdapters;
};

} // namespace vestra7
