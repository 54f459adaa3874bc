// SPDX-License-Identifier: GPL-3.0-or-later
// The import preview against the import itself: for any parties, in single- and double-byte code
// pages, the texts the preview shows are the texts the phone book holds once the import is stored.
#include "model/ansi_codec.h"
#include "model/import_preview.h"

#include <cstdlib>

using namespace vestra7;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static AnsiCodec codecs[] = {AnsiCodec("windows-1251"), AnsiCodec("windows-1252"), AnsiCodec("windows-932")};
    if (size < 1)
        return 0;
    AnsiCodec &codec = codecs[data[0] % 3];
    // The rest is UTF-8 text: parties separated by line ends, name and number by a tab.
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    std::vector<Party> parties;
    for (const QString &line : text.split(u'\n')) {
        const qsizetype tab = line.indexOf(u'\t');
        parties.push_back(tab < 0 ? Party{line, QString()} : Party{line.left(tab), line.mid(tab + 1)});
    }

    const std::vector<PartyPreview> previews = previewImport(parties, codec);
    DeviceRecord record{};
    applyImport(record, parties, codec);
    for (std::size_t i = 0; i < std::min(parties.size(), std::size(record.contact)); ++i) {
        const Party stored = readParty(record.contact[i], codec);
        if (stored.name != previews[i].name.stored || stored.number != previews[i].number.stored)
            std::abort();
        // A text shown unchanged is stored as the file has it.
        if (!previews[i].name.changed() && stored.name != parties[i].name)
            std::abort();
    }
    return 0;
}
