// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's phone book and call list: picking a party, storing the edits with Enter over the
// contact being edited or into a free entry, the number edit's character filter, and deleting entries.
#include "ui/main_window.h"

#include "link/adapter_port.h"
#include "model/backup_step.h"
#include "ui/logging.h"

#include "ui_main_window.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTableWidget>

#include <algorithm>

namespace {

bool isEnterKey(const QKeyEvent &key)
{
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// Whether the number edit takes the key: digits, '+', and keys that type no character (Backspace,
// arrows, Delete, Tab...). Of the control-letter keys only copy and paste pass, so cut and undo do not.
bool numberEditTakes(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers();
    if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier) && key.key() >= Qt::Key_A &&
        key.key() <= Qt::Key_Z)
        return key.key() == Qt::Key_C || key.key() == Qt::Key_V;
    const QString text = key.text();
    if (text.isEmpty() || !text.front().isPrint())
        return true;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+');
    });
}

} // namespace

void MainWindow::onListRowSelected(const PartyTable &list, int row)
{
    m_selectedRow = row;
    m_selectedList = &list;
    // An active line other than A or B, as only the adapter can report, has no party to store into.
    if (!activeSubscriber(m_adapter.record()))
        return;
    qCDebug(lcUi) << (&list == &m_contacts ? "party from phone-book row" : "party from call-list row") << row;
    m_adapter.selectParty({list.name(row), list.number(row)});
}

bool MainWindow::onPartyEditKey(const QObject *edit, const QKeyEvent &key)
{
    if (isEnterKey(key))
        storeParty();
    // Only the number edit filters what is typed; pasted text is not filtered.
    return edit != m_ui->partyNumberEdit || numberEditTakes(key);
}

int MainWindow::contactBeingEdited() const
{
    // A call-list row, or a phone-book row no longer selected (a deletion drops the selection, and the
    // index then holds the entry that moved up into it), names no contact to store over.
    if (m_selectedList != &m_contacts || !m_contacts.isSelected(m_selectedRow))
        return -1;
    return m_selectedRow;
}

void MainWindow::storeParty()
{
    int row = contactBeingEdited();
    if (row < 0)
        row = firstFreeContact();
    if (row < 0) {
        qCDebug(lcUi) << "party not stored: the phone book is full";
        informationBox(this, m_applicationTitle,
                       tr("The phone book is full, so nothing was stored. To replace a contact, select it in the "
                          "contact list, edit it and press Enter; or delete one first."));
        return;
    }
    if (!isEmptyEntry(m_adapter.record().contact[row]) && !backUpBefore(BackupStep::ReplaceContact))
        return;
    // The row shows the edits at once; the next refresh shows what the record holds.
    const Party party{m_ui->partyNameEdit->text(), m_ui->partyNumberEdit->text()};
    m_contacts.ensureRow(row);
    m_contacts.setRow(row, party.name, party.number);
    qCDebug(lcUi) << "store the party in phone-book row" << row;
    m_adapter.storeContact(row, party);
}

void MainWindow::onPhoneBookKey(const QKeyEvent &key)
{
    if (key.key() != Qt::Key_Delete || m_contacts.firstSelectedRow() < 0)
        return;
    if (!confirm(tr("Delete contact?")) || !backUpBefore(BackupStep::DeleteContact))
        return;
    deleteSelectedRow(m_contacts, &AdapterPort::deleteContact);
}

void MainWindow::onCallListKey(const QKeyEvent &key)
{
    if (key.key() == Qt::Key_Delete && m_calls.firstSelectedRow() >= 0 && backUpBefore(BackupStep::DeleteCallListEntry))
        deleteSelectedRow(m_calls, &AdapterPort::deleteCall);
}

void MainWindow::deleteSelectedRow(PartyTable &list, void (AdapterPort::*deleteEntry)(int))
{
    const int row = list.firstSelectedRow();
    if (row < 0)
        return;
    {
        // Removing the row makes the list select a neighbour. That is no choice of the user's: it
        // must not become the active party, nor move the row that Enter stores into.
        const QSignalBlocker blocker(list.widget()->selectionModel());
        list.removeRowKeepingLength(row);
        list.widget()->clearSelection();
    }
    qCDebug(lcUi) << (&list == &m_contacts ? "delete phone-book row" : "delete call-list row") << row;
    (m_adapter.*deleteEntry)(row);
}

int MainWindow::firstFreeContact() const
{
    const auto &contacts = m_adapter.record().contact;
    const auto free = std::find_if(std::begin(contacts), std::end(contacts), isEmptyEntry);
    return free == std::end(contacts) ? -1 : static_cast<int>(free - std::begin(contacts));
}
