// SPDX-License-Identifier: GPL-3.0-or-later
// The changes the windows make to the adapter's record: each is written into the local record and
// sent whole, as one record write.
#include "link/adapter.h"

#include "model/ansi_codec.h"
#include "model/import_preview.h"
#include "model/party_text.h"
#include "model/text_field.h"

#include <algorithm>

namespace {

bool isLine(int line)
{
    return line >= 0 && line < kLineCount;
}

// The edits of a call or hang-up press: an empty one keeps what the line has, so hanging up needs
// no party.
void writePressedParty(PartyEntry &entry, const Party &party)
{
    if (!party.name.isEmpty())
        writeTextField(entry.name, party.name);
    if (!party.number.isEmpty())
        writeTextField(entry.number, party.number);
}

std::int8_t settingByte(int value)
{
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(value & 0xFF));
}

} // namespace

void Adapter::setActiveLine(int line)
{
    m_record.act_line = static_cast<std::uint8_t>(line & 0xFF);
    save();
}

void Adapter::selectParty(const Party &party)
{
    // An active line other than A or B, as only the adapter can report, has no party to store into.
    PartyEntry *active = activeSubscriber(m_record);
    if (!active)
        return;
    writeParty(*active, party, AnsiCodec::system());
    save();
}

void Adapter::call(int line, const Party &party)
{
    if (!isLine(line))
        return;
    writePressedParty(m_record.subscriber[line], party);
    m_record.resp[line] = 1;
    save();
}

void Adapter::hangUp(int line, const Party &party)
{
    if (!isLine(line))
        return;
    writePressedParty(m_record.subscriber[line], party);
    m_record.resp[line] = -1;
    save();
}

void Adapter::storeContact(int row, const Party &party)
{
    // A row last picked in the call list stores into the phone-book entry of the same index; a row
    // past the phone book's end stores nothing, but the record still goes out as the user asked.
    if (row >= 0 && row < kContactCount)
        writeParty(m_record.contact[row], party, AnsiCodec::system());
    save();
}

void Adapter::deleteContact(int row)
{
    if (row < 0 || row >= kContactCount)
        return;
    removeEntry(m_record.contact, static_cast<std::size_t>(row));
    save();
}

void Adapter::deleteCall(int row)
{
    if (row < 0 || row >= kCallListCount)
        return;
    removeEntry(m_record.call_list, static_cast<std::size_t>(row));
    save();
}

void Adapter::importContacts(const std::vector<Party> &parties)
{
    applyImport(m_record, parties, AnsiCodec::system());
    save();
}

void Adapter::setMicGain(int step)
{
    m_record.mic_gain = settingByte(step);
    save();
}

void Adapter::setLineGain(int step)
{
    m_record.spk_gain = settingByte(step);
    save();
}

void Adapter::setAutoAnswer(int line, int seconds)
{
    if (!isLine(line))
        return;
    m_record.auto_answer[line] = static_cast<std::uint8_t>(seconds & 0xFF);
    save();
}

void Adapter::resetToDefaults()
{
    setDefaults(m_record);
    save();
}

void Adapter::loadConfiguration(const QByteArray &bytes)
{
    overwritePrefix(m_record, std::span(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size())));
    save();
}
