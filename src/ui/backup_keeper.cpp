// SPDX-License-Identifier: GPL-3.0-or-later
// The question before a step whose backup could not be made.
#include "ui/backup_keeper.h"

namespace vestra7 {

BackupKeeper::BackupKeeper(BackupPolicy &policy, QObject *parent)
    : QObject(parent)
    , m_policy(policy)
{
}

bool BackupKeeper::backUpBefore(BackupStep step, QWidget *parent)
{
    const Result<QString> attempt = m_policy.backUpBefore(step);
    if (attempt)
        return true;
    return confirm(parent,
                   tr("%1\n\nGo on without a backup? What the adapter holds now cannot be restored afterwards.")
                       .arg(attempt.error().message),
                   true);
}

bool BackupKeeper::confirm(QWidget *parent, const QString &question, bool cancelFirst) const
{
    return confirmThrough(m_confirm, parent, question, cancelFirst);
}

} // namespace vestra7
