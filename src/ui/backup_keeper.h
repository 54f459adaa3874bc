// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' side of the backups: the program's backup policy, and the question asked when a
// backup cannot be written.
#pragma once

#include "backups/backup_policy.h"
#include "model/backup_step.h"
#include "ui/message_boxes.h"

#include <QObject>
#include <QString>

class QWidget;

namespace vestra7 {

// One for the program, shared by the windows whose commands replace the adapter's record.
class BackupKeeper final : public QObject
{
    Q_OBJECT

public:
    explicit BackupKeeper(BackupPolicy &policy, QObject *parent = nullptr);

    // Backs up before `step` as the policy says. True when the step may go on: the policy let it, or
    // no backup could be made and the user chose to go on without it.
    bool backUpBefore(BackupStep step, QWidget *parent);

    // Asks `question` with "OK" and "Cancel"; `cancelFirst` makes "Cancel" the default button.
    bool confirm(QWidget *parent, const QString &question, bool cancelFirst = false) const;
    // A test's answerer in place of the modal boxes; it answers every question.
    void setConfirmer(Confirmer confirm) { m_confirm = std::move(confirm); }

    BackupPolicy &policy() const { return m_policy; }

private:
    BackupPolicy &m_policy;
    Confirmer m_confirm;
};

} // namespace vestra7
