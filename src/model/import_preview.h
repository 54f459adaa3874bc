// SPDX-License-Identifier: GPL-3.0-or-later
// What the adapter will hold for imported parties, and the import applied to a record.
#pragma once

#include "model/device_record.h"
#include "model/party_text.h"

#include <QString>

#include <span>
#include <vector>

namespace vestra7 {

class AnsiCodec;

struct FieldPreview
{
    QString stored;           // the field's text as it will read back from the adapter
    bool cut = false;         // longer than the field's bytes once encoded, so its end is dropped
    bool lossy = false;       // holds characters the code page lacks, which are stored as '?'
    bool undecodable = false; // holds bytes the file's encoding gives no character for (U+FFFD)

    bool changed() const { return cut || lossy || undecodable; }
};

struct PartyPreview
{
    FieldPreview name;
    FieldPreview number;

    bool changed() const { return name.changed() || number.changed(); }
};

// Runs the text through the same encoding and field width as the record's text fields.
FieldPreview previewField(const QString &text, AnsiCodec &codec);
std::vector<PartyPreview> previewImport(std::span<const Party> parties, AnsiCodec &codec);

// The parties go into phone-book entries 0, 1, ...; the entries after them are emptied, and the rest
// of the record stays as it was. Parties beyond the phone book's size are not stored.
void applyImport(DeviceRecord &record, std::span<const Party> parties, AnsiCodec &codec);

} // namespace vestra7
