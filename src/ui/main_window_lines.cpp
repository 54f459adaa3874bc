// The main window's line control and phone-book editing: calls, the active line, picking a party,
// storing and deleting entries, and the number edit's character filter.
#include "ui/main_window.h"

#include "link/device_link.h"
#include "model/text_field.h"
#include "widgets/glyph_button.h"

#include "ui_main_window.h"

#include <QKeyEvent>
#include <QMouseEvent>
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

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto &key = *static_cast<QKeyEvent *>(event);
        if (watched == ui->edt_name || watched == ui->edt_num) {
            edtKeyDown(key);
            return !edtKeyPress(watched, key);
        }
        if (watched == ui->clist)
            clistKeyDown(key);
        else if (watched == ui->calls)
            callsKeyDown(key);
    } else if (event->type() == QEvent::MouseButtonRelease && (watched == ui->lbl1 || watched == ui->lbl2)) {
        // A click: the release of the left button that was pressed on the label, still over it.
        const auto &mouse = *static_cast<QMouseEvent *>(event);
        if (mouse.button() == Qt::LeftButton &&
            static_cast<QWidget *>(watched)->rect().contains(mouse.position().toPoint()))
            activeSelClick(watched);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::CALL_MouseDown(GlyphButton *Sender)
{
    const int line = (Sender->Tag() & kLineBit) ? 1 : 0;
    const bool call = (Sender->Tag() & kCallFlag) != 0;
    DeviceRecord &record = m_link.record;
    PartyEntry &party = record.subscriber[line];
    // The edits go to the pressed button's line, whichever line they show. An empty edit keeps what
    // the line has, so hanging up needs no party.
    if (!ui->edt_name->text().isEmpty())
        writeTextField(party.name, ui->edt_name->text());
    if (!ui->edt_num->text().isEmpty())
        writeTextField(party.number, ui->edt_num->text());
    record.resp[line] = call ? 1 : -1;
    save();
}

void MainWindow::activeSelClick(QObject *Sender)
{
    m_link.record.act_line = static_cast<std::uint8_t>(Sender->property("Tag").toInt() & 0xFF);
    save();
}

void MainWindow::clistSelectItem(const PartyTable &list, int row)
{
    selected_row = static_cast<std::uint8_t>(row);
    m_selectedList = &list;
    m_selectedRowDeleted = false;
    // An active line other than A or B, as only the adapter can report, has no party to store into.
    PartyEntry *party = activeSubscriber(m_link.record);
    if (!party)
        return;
    writeTextField(party->name, list.name(row));
    writeTextField(party->number, list.number(row));
    save();
}

void MainWindow::edtKeyDown(const QKeyEvent &Key)
{
    if (!isEnterKey(Key))
        return;
    // Once the selected row has been deleted, its index holds the entry that moved up into it: the
    // edits then go into a free entry instead of over that one.
    const int row = m_selectedRowDeleted ? firstFreeContact() : selected_row;
    if (row < 0)
        return;
    // The row shows the edits uncut until the next refresh shows what the record holds.
    m_contacts.ensureRow(row);
    m_contacts.setRow(row, ui->edt_name->text(), ui->edt_num->text());
    // A row last selected in the call list stores into the phone-book entry of the same index.
    if (row < kContactCount) {
        PartyEntry &entry = m_link.record.contact[row];
        writeTextField(entry.name, ui->edt_name->text());
        writeTextField(entry.number, ui->edt_num->text());
    }
    save();
}

bool MainWindow::edtKeyPress(QObject *Sender, const QKeyEvent &Key)
{
    // Tag 0 or less takes every character; 1 or more is the number filter. Pasted text is not filtered.
    return Sender->property("Tag").toInt() <= 0 || numberEditTakes(Key);
}

void MainWindow::clistKeyDown(const QKeyEvent &Key)
{
    if (Key.key() != Qt::Key_Delete || m_contacts.firstSelectedRow() < 0)
        return;
    if (!m_confirm(this, QStringLiteral("Delete contact?")))
        return;
    deleteSelectedRow(m_contacts, m_link.record.contact);
}

void MainWindow::callsKeyDown(const QKeyEvent &Key)
{
    if (Key.key() == Qt::Key_Delete)
        deleteSelectedRow(m_calls, m_link.record.call_list);
}

void MainWindow::deleteSelectedRow(PartyTable &list, std::span<PartyEntry> entries)
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
    if (m_selectedList == &list)
        m_selectedRowDeleted = true;
    // The entries below move up as they are, byte for byte, and the last one empties: nothing else
    // of the record changes.
    removeEntry(entries, static_cast<std::size_t>(row));
    save();
}

int MainWindow::firstFreeContact() const
{
    const auto &contacts = m_link.record.contact;
    const auto free = std::find_if(std::begin(contacts), std::end(contacts), isEmptyEntry);
    return free == std::end(contacts) ? -1 : static_cast<int>(free - std::begin(contacts));
}
