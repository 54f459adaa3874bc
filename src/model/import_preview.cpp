// SPDX-License-Identifier: GPL-3.0-or-later
// Previewing and applying an imported phone book.
#include "model/import_preview.h"

#include "model/ansi_codec.h"
#include "model/byte_span.h"
#include "model/text_field.h"

#include <algorithm>
#include <cstring>

namespace vestra7 {

FieldPreview previewField(const QString &text, AnsiCodec &codec)
{
    const QByteArray encoded = codec.encode(text);
    const std::span<const std::uint8_t> encodedBytes = asBytes(encoded);
    std::uint8_t field[kPartyTextWidth];
    writeTextField(field, text, codec);
    // A zero byte ends the field's text, so whatever follows one is lost as well.
    const bool lossy = codec.decode(encodedBytes) != text || text.contains(QChar(u'\0'));
    return {readTextField(field, codec), encodedBytes.size() > kPartyTextWidth, lossy,
            text.contains(QChar::ReplacementCharacter)};
}

std::vector<PartyPreview> previewImport(std::span<const Party> parties, AnsiCodec &codec)
{
    std::vector<PartyPreview> previews;
    previews.reserve(parties.size());
    for (const Party &party : parties)
        previews.push_back({previewField(party.name, codec), previewField(party.number, codec)});
    return previews;
}

void applyImport(DeviceRecord &record, std::span<const Party> parties, AnsiCodec &codec)
{
    const std::size_t count = std::min(parties.size(), std::size(record.contact));
    for (std::size_t i = 0; i < count; ++i)
        writeParty(record.contact[i], parties[i], codec);
    std::memset(record.contact + count, 0, (std::size(record.contact) - count) * sizeof(PartyEntry));
}

} // namespace vestra7
