// SPDX-License-Identifier: GPL-3.0-or-later
// Backs the adapter's record up when an adapter is first seen and before each step that replaces
// what it holds, and asks what to do when a backup cannot be written.
#pragma once

#include "model/backup_step.h"
#include "model/backup_store.h"
#include "ui/message_boxes.h"

#include <QObject>
#include <QSet>
#include <QString>

class AdapterPort;
struct AdapterIdentity;
class QWidget;

// One for the program, shared by the windows whose commands replace the adapter's record.
class BackupKeeper final : public QObject
{
    Q_OBJECT

public:
    // The backups live in their own folder per adapter under `root`.
    BackupKeeper(AdapterPort &adapter, const QString &root, QObject *parent = nullptr);

    // Where the program keeps its backups unless told otherwise: the user's application data.
    static QString defaultRoot();

    // Backs up the record the program last read from the adapter before `step`. True when the step
    // may go on: the backup is stored (or the newest one holds the same bytes), or it could not be
    // made and the user chose to go on without it.
    bool backUpBefore(BackupStep step, QWidget *parent);

    // Asks `question` with "OK" and "Cancel"; `cancelFirst` makes "Cancel" the default button.
    bool confirm(QWidget *parent, const QString &question, bool cancelFirst = false) const;
    // A test's answerer in place of the modal boxes; it answers every question.
    void setConfirmer(Confirmer confirm) { m_confirm = std::move(confirm); }

    const BackupStore &store() const { return m_store; }
    // The serial number of the adapter whose record the program holds; empty before any record came.
    QString currentSerial() const { return m_recordSerial; }
    bool holdsRecord() const { return m_holdsRecord; }
    // An adapter in its firmware is claimed, so a record written now reaches it.
    bool adapterConnected() const { return m_connected; }

signals:
    // A backup was written.
    void backupsChanged();

private:
    void onIdentityChanged(const AdapterIdentity &identity);
    void onConnectionChanged(bool connected);
    void onRecordChanged();

    AdapterPort &m_adapter;
    BackupStore m_store;
    Confirmer m_confirm;
    QString m_identitySerial; // the adapter found last
    QString m_recordSerial;   // the adapter whose record was read last
    bool m_connected = false;
    bool m_holdsRecord = false;
    // Adapters already backed up when first seen in this session.
    QSet<QString> m_seenSerials;
};
