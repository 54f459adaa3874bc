// SPDX-License-Identifier: GPL-3.0-or-later
// A change the user makes to the adapter's record, kept as a value until the adapter holds it.
#pragma once

#include "model/device_record.h"
#include "model/party_text.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace vestra7 {

// One value type for each change the windows can ask of the record.
namespace change {
struct SetActiveLine
{
    int line;
};
struct SelectParty
{
    Party party;
    // The line the party goes to, the one active when it was picked: applied again over a later
    // record, it must not follow a line chosen since. Below 0: the line active in that record.
    int line = -1;
};
struct Call
{
    int line;
    Party party;
};
struct HangUp
{
    int line;
    Party party;
};
struct StoreContact
{
    int row;
    Party party;
};
// A deletion names the entry it removes as it was when the user deleted it: it removes the row if
// the row still holds that entry, else the first entry that does (an empty entry: none), else
// nothing. So applied again to a record that already lost the entry, it removes nothing more.
struct DeleteContact
{
    int row;
    PartyEntry entry{}; // as it was when deleted
};
struct DeleteCall
{
    int row;
    PartyEntry entry{}; // as it was when deleted
};
struct ImportContacts
{
    std::vector<Party> parties;
};
struct SetMicGain
{
    int step;
};
struct SetLineGain
{
    int step;
};
struct SetAutoAnswer
{
    int line;
    int seconds;
};
struct ResetToDefaults
{
};
struct LoadConfiguration
{
    QByteArray bytes;
};
} // namespace change

using Change =
    std::variant<change::SetActiveLine, change::SelectParty, change::Call, change::HangUp, change::StoreContact,
                 change::DeleteContact, change::DeleteCall, change::ImportContacts, change::SetMicGain,
                 change::SetLineGain, change::SetAutoAnswer, change::ResetToDefaults, change::LoadConfiguration>;

// Writes the change into the record, texts in the code page of AnsiCodec::system(). A call or
// hang-up press writes its party but no request: a request belongs to one message, not to the record
// (see callRequest()). A change that names a line or a row the record does not have changes nothing.
void apply(DeviceRecord &record, const Change &change);

// The line and the `resp` value a call or hang-up press asks for; none for any other change.
struct CallRequest
{
    int line;
    std::int8_t resp;
};
std::optional<CallRequest> callRequest(const Change &change);

// Whether `received` holds, in every field the user may write that the change writes, what `sent`
// holds there. Fields only the adapter writes (line states, signal, operators, USSD) are never
// compared, not even for "Set to default" or a loaded configuration.
bool holdsChange(const DeviceRecord &received, const DeviceRecord &sent, const Change &change);

} // namespace vestra7
