// SPDX-License-Identifier: GPL-3.0-or-later
// The party books: picking a party from a list, storing the edits with Enter over the contact being
// edited or into a free entry, the number edit's character filter, and deleting entries.
#include "ui/party_books.h"

#include "model/backup_step.h"
#include "model/text_field.h"
#include "ports/adapter_port.h"
#include "ui/field_fit_validator.h"
#include "ui/logging.h"
#include "ui/plain_text.h"
#include "ui/prompter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QToolTip>

#include <algorithm>
#include <vector>

namespace vestra7 {

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

QString withoutCarriageReturns(QString text)
{
    return text.remove(QLatin1Char('\r'));
}

void setTextIfChanged(QLineEdit *edit, const QString &text)
{
    // Setting an equal text would still reset the cursor and the undo history.
    if (edit->text() != text)
        edit->setText(text);
}

} // namespace

PartyBooks::PartyBooks(const Widgets &widgets, AdapterPort &adapter, const Prompter &prompter, QObject *parent)
    : QObject(parent)
    , m_adapter(adapter)
    , m_prompter(prompter)
    , m_partyName(widgets.partyName)
    , m_partyNumber(widgets.partyNumber)
    , m_contacts(widgets.phoneBook)
    , m_calls(widgets.callList)
{
    // Characters reach the number filter only as key presses, never as input-method text.
    m_partyNumber->setAttribute(Qt::WA_InputMethodEnabled, false);
    // The edits take only what the record's fields hold as shown, so what they show is what is stored.
    for (QLineEdit *edit : {m_partyName, m_partyNumber}) {
        auto *validator = new FieldFitValidator(kPartyTextWidth, edit);
        edit->setValidator(validator);
        // Said beside the edit to the user typing or pasting there. A refresh writes the edits only
        // while neither has the focus, and never anything that does not fit.
        connect(validator, &FieldFitValidator::textRefused, this, [this, edit](const QString &explanation) {
            if (focusedControl() == edit)
                QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), plainMarkup(explanation), edit);
        });
    }
    for (QObject *control :
         std::initializer_list<QObject *>{m_partyName, m_partyNumber, widgets.phoneBook, widgets.callList})
        control->installEventFilter(this);
    connectLists();
}

void PartyBooks::connectLists()
{
    // Every row that becomes selected is handled, each in turn, from the top down.
    for (const PartyTable *list : {&m_contacts, &m_calls}) {
        connect(list->widget()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, list](const QItemSelection &selected) {
                    std::vector<int> rows;
                    for (const QModelIndex &index : selected.indexes())
                        rows.push_back(index.row());
                    std::sort(rows.begin(), rows.end());
                    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
                    for (const int row : rows)
                        onListRowSelected(*list, row);
                });
    }
}

const QWidget *PartyBooks::focusedControl() const
{
    return m_partyName->window()->focusWidget();
}

bool PartyBooks::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto &key = *static_cast<QKeyEvent *>(event);
    if (watched == m_partyName || watched == m_partyNumber)
        return !onPartyEditKey(watched, key);
    if (watched == m_contacts.widget())
        onPhoneBookKey(key);
    else if (watched == m_calls.widget())
        onCallListKey(key);
    return false;
}

void PartyBooks::showRecord()
{
    const DeviceRecord &record = m_adapter.record();
    showActiveParty(false);
    m_contacts.showEntries(record.contact);
    m_calls.showEntries(record.call_list);
}

void PartyBooks::rereadTexts()
{
    m_contacts.forgetShownEntries();
    m_calls.forgetShownEntries();
    showActiveParty(true);
}

void PartyBooks::showActiveParty(bool evenWhileTyping)
{
    const QWidget *focused = focusedControl();
    if (!evenWhileTyping && (focused == m_partyName || focused == m_partyNumber))
        return;
    // An active line other than A or B has no party to show.
    const PartyEntry *party = activeSubscriber(m_adapter.record());
    setTextIfChanged(m_partyName, party ? withoutCarriageReturns(readTextField(party->name)) : QString());
    setTextIfChanged(m_partyNumber, party ? withoutCarriageReturns(readTextField(party->number)) : QString());
}

void PartyBooks::onListRowSelected(const PartyTable &list, int row)
{
    m_selectedRow = row;
    m_selectedList = &list;
    // An active line other than A or B, as only the adapter can report, has no party to store into.
    if (!activeSubscriber(m_adapter.record()))
        return;
    qCDebug(lcUi) << (&list == &m_contacts ? "party from phone-book row" : "party from call-list row") << row;
    m_adapter.selectParty({list.name(row), list.number(row)});
}

bool PartyBooks::onPartyEditKey(const QObject *edit, const QKeyEvent &key)
{
    if (isEnterKey(key))
        storeParty();
    // Only the number edit filters what is typed; pasted text is not filtered.
    return edit != m_partyNumber || numberEditTakes(key);
}

int PartyBooks::contactBeingEdited() const
{
    // A call-list row, or a phone-book row no longer selected (a deletion drops the selection, and the
    // index then holds the entry that moved up into it), names no contact to store over.
    if (m_selectedList != &m_contacts || !m_contacts.isSelected(m_selectedRow))
        return -1;
    return m_selectedRow;
}

void PartyBooks::storeParty()
{
    int row = contactBeingEdited();
    if (row < 0)
        row = firstFreeContact();
    if (row < 0) {
        qCDebug(lcUi) << "party not stored: the phone book is full";
        m_prompter.showInformation(
            tr("The phone book is full, so nothing was stored. To replace a contact, select it in the "
               "contact list, edit it and press Enter; or delete one first."));
        return;
    }
    if (!isEmptyEntry(m_adapter.record().contact[row]) && !m_prompter.backUpBefore(BackupStep::ReplaceContact))
        return;
    // The row shows the edits at once; the next refresh shows what the record holds.
    const Party party{m_partyName->text(), m_partyNumber->text()};
    m_contacts.ensureRow(row);
    m_contacts.setRow(row, party.name, party.number);
    qCDebug(lcUi) << "store the party in phone-book row" << row;
    m_adapter.storeContact(row, party);
}

void PartyBooks::onPhoneBookKey(const QKeyEvent &key)
{
    if (key.key() != Qt::Key_Delete || m_contacts.firstSelectedRow() < 0)
        return;
    if (!m_prompter.confirm(tr("Delete contact?")) || !m_prompter.backUpBefore(BackupStep::DeleteContact))
        return;
    deleteSelectedRow(m_contacts, &AdapterPort::deleteContact);
}

void PartyBooks::onCallListKey(const QKeyEvent &key)
{
    if (key.key() == Qt::Key_Delete && m_calls.firstSelectedRow() >= 0 &&
        m_prompter.backUpBefore(BackupStep::DeleteCallListEntry))
        deleteSelectedRow(m_calls, &AdapterPort::deleteCall);
}

void PartyBooks::deleteSelectedRow(PartyTable &list, void (AdapterPort::*deleteEntry)(int))
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

int PartyBooks::firstFreeContact() const
{
    const auto &contacts = m_adapter.record().contact;
    const auto free = std::find_if(std::begin(contacts), std::end(contacts), isEmptyEntry);
    return free == std::end(contacts) ? -1 : static_cast<int>(free - std::begin(contacts));
}

} // namespace vestra7
