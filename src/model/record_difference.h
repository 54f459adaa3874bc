// SPDX-License-Identifier: GPL-3.0-or-later
// What differs between two records, in the terms the main window shows them.
#pragma once

#include "model/device_record.h"
#include "model/party_text.h"

#include <QString>

#include <vector>

namespace vestra7 {

class AnsiCodec;

enum class RecordItem { Contact, CallListEntry, MicGain, LineGain, AutoAnswerA, AutoAnswerB, ActiveLine };

struct RecordDifference
{
    RecordItem item;
    int index = -1; // the entry's index from 0, for phone-book and call-list entries
    Party oldParty; // for phone-book and call-list entries
    Party newParty;
    QString oldText; // for the settings and the active line, as the window shows them
    QString newText;
};

// What the user would call the item: "Phone-book entry 3", "MIC gain", "Active line".
QString differenceLabel(const RecordDifference &difference);

// The phone-book entries, then the call-list entries, then the settings and the active line.
// Entries are compared as their texts read, so bytes after a text's end do not count. What the
// adapter writes by itself (line states, signal levels, SIM presence, operators, USSD texts and
// numbers, call requests) and the current party of each line follow the calls, not the user, and
// are left out.
std::vector<RecordDifference> recordDifferences(const DeviceRecord &before, const DeviceRecord &after,
                                                AnsiCodec &codec);

} // namespace vestra7
