// SPDX-License-Identifier: GPL-3.0-or-later
// Applying a change to a record, and telling whether a record holds it.
#include "model/record_change.h"

#include "model/ansi_codec.h"
#include "model/byte_span.h"
#include "model/import_preview.h"
#include "model/text_field.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace vestra7 {

namespace {

bool isLine(int line)
{
    return line >= 0 && line < kLineCount;
}

std::int8_t settingByte(int value)
{
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(value & 0xFF));
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

template <class T> bool same(const T &a, const T &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void removeNamedEntry(std::span<PartyEntry> entries, int row, const PartyEntry &entry)
{
    if (row < 0 || static_cast<std::size_t>(row) >= entries.size())
        return;
    auto at = entries.begin() + row;
    // An empty entry is no one's: any other empty one is not the deleted one. Looked for elsewhere,
    // a deletion applied again to a record that already took it would close a gap the user left.
    if (!same(*at, entry))
        at = isEmptyEntry(entry) ? entries.end()
                                 : std::find_if(entries.begin(), entries.end(),
                                                [&entry](const PartyEntry &e) { return same(e, entry); });
    if (at != entries.end())
        removeEntry(entries, static_cast<std::size_t>(at - entries.begin()));
}

// What the pressed party writes, compared as written: the name, the number, both or neither.
bool samePressedParty(const PartyEntry &received, const PartyEntry &sent, const Party &party)
{
    return (party.name.isEmpty() || same(received.name, sent.name)) &&
           (party.number.isEmpty() || same(received.number, sent.number));
}

// The party of the line that was active when the change was written.
bool selectedPartyHeld(const DeviceRecord &received, const DeviceRecord &sent, int line)
{
    if (isLine(line))
        return same(received.subscriber[line], sent.subscriber[line]);
    const PartyEntry *written = activeSubscriber(sent);
    return !written || (received.act_line == sent.act_line && same(*activeSubscriber(received), *written));
}

bool sameUserFields(const DeviceRecord &a, const DeviceRecord &b)
{
    return a.act_line == b.act_line && same(a.subscriber, b.subscriber) && same(a.contact, b.contact) &&
           same(a.call_list, b.call_list) && a.mic_gain == b.mic_gain && a.spk_gain == b.spk_gain &&
           same(a.auto_answer, b.auto_answer);
}

} // namespace

void apply(DeviceRecord &record, const Change &value)
{
    std::visit(
        [&record](const auto &c) {
            using C = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<C, change::SetActiveLine>) {
                record.act_line = static_cast<std::uint8_t>(c.line & 0xFF);
            } else if constexpr (std::is_same_v<C, change::SelectParty>) {
                // An active line other than A or B, as only the adapter can report, has no party.
                if (PartyEntry *target = isLine(c.line) ? &record.subscriber[c.line] : activeSubscriber(record))
                    writeParty(*target, c.party, AnsiCodec::system());
            } else if constexpr (std::is_same_v<C, change::Call> || std::is_same_v<C, change::HangUp>) {
                if (isLine(c.line))
                    writePressedParty(record.subscriber[c.line], c.party);
            } else if constexpr (std::is_same_v<C, change::StoreContact>) {
                if (c.row >= 0 && c.row < kContactCount)
                    writeParty(record.contact[c.row], c.party, AnsiCodec::system());
            } else if constexpr (std::is_same_v<C, change::DeleteContact>) {
                removeNamedEntry(record.contact, c.row, c.entry);
            } else if constexpr (std::is_same_v<C, change::DeleteCall>) {
                removeNamedEntry(record.call_list, c.row, c.entry);
            } else if constexpr (std::is_same_v<C, change::ImportContacts>) {
                applyImport(record, c.parties, AnsiCodec::system());
            } else if constexpr (std::is_same_v<C, change::SetMicGain>) {
                record.mic_gain = settingByte(c.step);
            } else if constexpr (std::is_same_v<C, change::SetLineGain>) {
                record.spk_gain = settingByte(c.step);
            } else if constexpr (std::is_same_v<C, change::SetAutoAnswer>) {
                if (isLine(c.line))
                    record.auto_answer[c.line] = static_cast<std::uint8_t>(c.seconds & 0xFF);
            } else if constexpr (std::is_same_v<C, change::ResetToDefaults>) {
                setDefaults(record);
            } else {
                static_assert(std::is_same_v<C, change::LoadConfiguration>);
                overwritePrefix(record, asBytes(c.bytes));
            }
        },
        value);
}

std::optional<CallRequest> callRequest(const Change &value)
{
    if (const auto *call = std::get_if<change::Call>(&value); call && isLine(call->line))
        return CallRequest{call->line, 1};
    if (const auto *hangUp = std::get_if<change::HangUp>(&value); hangUp && isLine(hangUp->line))
        return CallRequest{hangUp->line, -1};
    return std::nullopt;
}

bool holdsChange(const DeviceRecord &received, const DeviceRecord &sent, const Change &value)
{
    return std::visit(
        [&](const auto &c) {
            using C = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<C, change::SetActiveLine>)
                return received.act_line == sent.act_line;
            else if constexpr (std::is_same_v<C, change::SelectParty>)
                return selectedPartyHeld(received, sent, c.line);
            else if constexpr (std::is_same_v<C, change::Call> || std::is_same_v<C, change::HangUp>)
                return !isLine(c.line) ||
                       samePressedParty(received.subscriber[c.line], sent.subscriber[c.line], c.party);
            else if constexpr (std::is_same_v<C, change::StoreContact>)
                return c.row < 0 || c.row >= kContactCount || same(received.contact[c.row], sent.contact[c.row]);
            else if constexpr (std::is_same_v<C, change::DeleteContact> || std::is_same_v<C, change::ImportContacts>)
                return same(received.contact, sent.contact);
            else if constexpr (std::is_same_v<C, change::DeleteCall>)
                return same(received.call_list, sent.call_list);
            else if constexpr (std::is_same_v<C, change::SetMicGain>)
                return received.mic_gain == sent.mic_gain;
            else if constexpr (std::is_same_v<C, change::SetLineGain>)
                return received.spk_gain == sent.spk_gain;
            else if constexpr (std::is_same_v<C, change::SetAutoAnswer>)
                return !isLine(c.line) || received.auto_answer[c.line] == sent.auto_answer[c.line];
            else
                return sameUserFields(received, sent);
        },
        value);
}

} // namespace vestra7
