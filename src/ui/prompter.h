// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window and its parts ask and tell their user, all over the one window.
#pragma once

#include "ui/message_boxes.h"

#include <QString>

class QWidget;

namespace vestra7 {

class BackupKeeper;
enum class BackupStep;

// The parts of a window share one answerer for their questions, one backup keeper, and the title
// their boxes carry, so that a test's answerer or a new adapter's name reaches all of them at once.
class Prompter
{
public:
    explicit Prompter(QWidget &owner);

    // The answerer goes to the backups too, so that one answerer answers every question.
    void setConfirmer(Confirmer confirm);
    void setBackupKeeper(BackupKeeper *keeper);
    BackupKeeper *backupKeeper() const { return m_backupKeeper; }
    // The program's title: the adapter's product name once one was found.
    void setTitle(const QString &title) { m_title = title; }
    const QString &title() const { return m_title; }

    // Asks with "OK" and "Cancel"; `cancelFirst` makes "Cancel" the default.
    bool confirm(const QString &question, bool cancelFirst = false) const;
    // True when `step` may go on: the record is backed up, or the user goes on without a backup.
    bool backUpBefore(BackupStep step) const;
    void showError(const QString &text) const;
    void showInformation(const QString &text) const;

private:
    QWidget &m_owner;
    // Empty: the modal boxes ask.
    Confirmer m_confirm;
    BackupKeeper *m_backupKeeper = nullptr;
    QString m_title = QStringLiteral("VESTRA7");
};

} // namespace vestra7
