// A party entry as text, the form in which windows and phone-book files see names and numbers.
#pragma once

#include "model/device_record.h"

#include <QString>

#include <vector>

class AnsiCodec;

struct PartyText
{
    QString name;
    QString number;

    bool operator==(const PartyText &) const = default;
};

// An entry is empty when both its texts read empty, whatever follows their first zero byte.
bool isEmptyEntry(const PartyEntry &entry);
int phoneBookEntryCount(const DeviceRecord &record);

PartyText readParty(const PartyEntry &entry, AnsiCodec &codec);
void writeParty(PartyEntry &entry, const PartyText &party, AnsiCodec &codec);

// The phone book's non-empty entries, in the order of the record.
std::vector<PartyText> phoneBookParties(const DeviceRecord &record, AnsiCodec &codec);
