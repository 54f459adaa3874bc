// SPDX-License-Identifier: GPL-3.0-or-later
// Conversions between party entries and their texts.
#include "model/party_text.h"

#include "model/text_field.h"

#include <algorithm>

namespace vestra7 {

int phoneBookEntryCount(const DeviceRecord &record)
{
    return static_cast<int>(std::count_if(std::begin(record.contact), std::end(record.contact),
                                          [](const PartyEntry &entry) { return !isEmptyEntry(entry); }));
}

Party readParty(const PartyEntry &entry, AnsiCodec &codec)
{
    return {readTextField(entry.name, codec), readTextField(entry.number, codec)};
}

void writeParty(PartyEntry &entry, const Party &party, AnsiCodec &codec)
{
    writeTextField(entry.name, party.name, codec);
    writeTextField(entry.number, party.number, codec);
}

QString dialableNumber(QString number)
{
    static const QString grouping = QStringLiteral("-./()[]");
    number.removeIf([](QChar c) { return c.isSpace() || grouping.contains(c); });
    return number;
}

std::vector<Party> phoneBookParties(const DeviceRecord &record, AnsiCodec &codec)
{
    std::vector<Party> parties;
    for (const PartyEntry &entry : record.contact) {
        if (!isEmptyEntry(entry))
            parties.push_back(readParty(entry, codec));
    }
    return parties;
}

} // namespace vestra7
