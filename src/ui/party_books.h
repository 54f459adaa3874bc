// SPDX-License-Identifier: GPL-3.0-or-later
// The party books: the party edits, the phone book and the call list.
#pragma once

#include "ui/party_table.h"

#include <QObject>

class QKeyEvent;
class QLineEdit;
class QTableWidget;

namespace vestra7 {

class AdapterPort;
class Prompter;

// A row selected in either list becomes the active line's party. Enter in an edit stores the edits
// into the phone book: over the contact being edited, else into the first free entry. Delete removes
// the selected entry of a list. The number edit takes digits and '+' only, and both edits only what
// the record's fields hold.
class PartyBooks final : public QObject
{
    Q_OBJECT

public:
    struct Widgets
    {
        QLineEdit *partyName;
        QLineEdit *partyNumber;
        QTableWidget *phoneBook;
        QTableWidget *callList;
    };

    PartyBooks(const Widgets &widgets, AdapterPort &adapter, const Prompter &prompter, QObject *parent = nullptr);

    // The active party in the edits, unless the user is typing in one, and both lists.
    void showRecord();
    // Reads every shown text again, also the party the user is typing: it was read in another code page.
    void rereadTexts();

    // The row last selected in either list.
    int selectedRow() const { return m_selectedRow; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectLists();
    void showActiveParty(bool evenWhileTyping);
    void onListRowSelected(const PartyTable &list, int row);
    // Whether the edit takes the key; Enter also stores the edits into the phone book.
    bool onPartyEditKey(const QObject *edit, const QKeyEvent &key);
    // Stores the edits over the contact being edited, else into the first free entry; with neither,
    // says that the book is full. Replacing a contact is backed up first.
    void storeParty();
    // The phone-book row the user selected and still has selected, whose contact the edits show; or -1.
    int contactBeingEdited() const;
    void onPhoneBookKey(const QKeyEvent &key);
    void onCallListKey(const QKeyEvent &key);
    void deleteSelectedRow(PartyTable &list, void (AdapterPort::*deleteEntry)(int));
    // The first phone-book entry with neither name nor number, or -1 when the book is full; the
    // adapter's record already holds the deletions asked for.
    int firstFreeContact() const;
    // The control of the window that has the focus, also while another window is active.
    const QWidget *focusedControl() const;

    AdapterPort &m_adapter;
    const Prompter &m_prompter;
    QLineEdit *m_partyName;
    QLineEdit *m_partyNumber;
    PartyTable m_contacts;
    PartyTable m_calls;
    int m_selectedRow = 0;
    // The list m_selectedRow came from.
    const PartyTable *m_selectedList = nullptr;
};

} // namespace vestra7
