// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window and its parts ask and tell their user.
#include "ui/prompter.h"

#include "ui/backup_keeper.h"

namespace vestra7 {

Prompter::Prompter(QWidget &owner)
    : m_owner(owner)
{
}

void Prompter::setConfirmer(Confirmer confirm)
{
    m_confirm = std::move(confirm);
    if (m_backupKeeper)
        m_backupKeeper->setConfirmer(m_confirm);
}

void Prompter::setBackupKeeper(BackupKeeper *keeper)
{
    m_backupKeeper = keeper;
    if (m_backupKeeper && m_confirm)
        m_backupKeeper->setConfirmer(m_confirm);
}

bool Prompter::confirm(const QString &question, bool cancelFirst) const
{
    return confirmThrough(m_confirm, &m_owner, question, cancelFirst);
}

bool Prompter::backUpBefore(BackupStep step) const
{
    return !m_backupKeeper || m_backupKeeper->backUpBefore(step, &m_owner);
}

void Prompter::showError(const QString &text) const
{
    errorBox(&m_owner, m_title, text);
}

void Prompter::showInformation(const QString &text) const
{
    informationBox(&m_owner, m_title, text);
}

} // namespace vestra7
