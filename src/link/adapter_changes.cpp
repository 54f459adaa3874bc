// SPDX-License-Identifier: GPL-3.0-or-later
// The changes the windows make to the adapter's record: each is kept as a value, shown at once and
// sent with the whole record, as one record write.
#include "link/adapter.h"

namespace vestra7 {

void Adapter::setActiveLine(int line)
{
    m_store.make(change::SetActiveLine{line});
}

void Adapter::selectParty(const Party &party)
{
    // An active line other than A or B, as only the adapter can report, has no party to store into.
    if (!activeSubscriber(record()))
        return;
    m_store.make(change::SelectParty{party, record().act_line});
}

void Adapter::call(int line, const Party &party)
{
    if (line < 0 || line >= kLineCount)
        return;
    m_store.make(change::Call{line, party});
}

void Adapter::hangUp(int line, const Party &party)
{
    if (line < 0 || line >= kLineCount)
        return;
    m_store.make(change::HangUp{line, party});
}

void Adapter::storeContact(int row, const Party &party)
{
    // A row last picked in the call list stores into the phone-book entry of the same index; a row
    // past the phone book's end stores nothing, but the record still goes out as the user asked.
    m_store.make(change::StoreContact{row, party});
}

void Adapter::deleteContact(int row)
{
    if (row < 0 || row >= kContactCount)
        return;
    m_store.make(change::DeleteContact{row, record().contact[row]});
}

void Adapter::deleteCall(int row)
{
    if (row < 0 || row >= kCallListCount)
        return;
    m_store.make(change::DeleteCall{row, record().call_list[row]});
}

void Adapter::importContacts(const std::vector<Party> &parties)
{
    m_store.make(change::ImportContacts{parties});
}

void Adapter::setMicGain(int step)
{
    m_store.make(change::SetMicGain{step});
}

void Adapter::setLineGain(int step)
{
    m_store.make(change::SetLineGain{step});
}

void Adapter::setAutoAnswer(int line, int seconds)
{
    if (line < 0 || line >= kLineCount)
        return;
    m_store.make(change::SetAutoAnswer{line, seconds});
}

void Adapter::resetToDefaults()
{
    m_store.make(change::ResetToDefaults{});
}

void Adapter::loadConfiguration(const QByteArray &bytes)
{
    m_store.make(change::LoadConfiguration{bytes});
}

} // namespace vestra7
