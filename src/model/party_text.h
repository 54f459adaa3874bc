// SPDX-License-Identifier: GPL-3.0-or-later
// A party entry as text, the form in which windows and phone-book files see names and numbers.
#pragma once

#include "model/device_record.h"

#include <QString>

#include <functional>
#include <vector>

namespace vestra7 {

class AnsiCodec;

// A party as the user types or picks it, or a phone-book file holds it.
struct Party
{
    QString name;
    QString number;

    bool operator==(const Party &) const = default;
};

// Takes the parties of a file one at a time as it is read, so that a reader holds none of them.
using PartySink = std::function<void(Party &&)>;

int phoneBookEntryCount(const DeviceRecord &record);

Party readParty(const PartyEntry &entry, AnsiCodec &codec);
void writeParty(PartyEntry &entry, const Party &party, AnsiCodec &codec);

// The number without the blanks, dashes, dots, slashes and brackets that only group its digits, as
// the adapter's 16-byte field has no room for them. Every blank counts, as in the readers' trimming,
// so that an exported number reads back the same.
QString dialableNumber(QString number);

// The phone book's non-empty entries, in the order of the record.
std::vector<Party> phoneBookParties(const DeviceRecord &record, AnsiCodec &codec);

} // namespace vestra7
