// SPDX-License-Identifier: GPL-3.0-or-later
// Telling a phone book from bytes that only parse as one, and finding what the code page lacks.
#include "model/import_check.h"

#include "model/ansi_codec.h"
#include "model/byte_span.h"
#include "model/device_record.h"

#include <algorithm>

namespace vestra7 {

namespace {

bool readableName(const QString &name)
{
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c == QChar::ReplacementCharacter || c.category() == QChar::Other_Control ||
               c.category() == QChar::Other_NotAssigned || c.category() == QChar::Other_PrivateUse;
    });
}

// What a number may hold once the blanks and brackets that only group its digits are gone: digits,
// a leading plus, the keypad's star and hash, and the pauses a dialler understands.
bool readableNumber(const QString &number)
{
    for (qsizetype i = 0; i < number.size(); ++i) {
        const QChar c = number[i];
        const bool dial = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('*') ||
                          c == QLatin1Char('#') || c == QLatin1Char(',') || c == QLatin1Char(';') ||
                          c == QLatin1Char('p') || c == QLatin1Char('P') || c == QLatin1Char('w') ||
                          c == QLatin1Char('W') || (c == QLatin1Char('+') && i == 0);
        if (!dial)
            return false;
    }
    return true;
}

void collectUnencodable(const QString &text, AnsiCodec &codec, QString &found)
{
    for (const char32_t point : text.toUcs4()) {
        const QString character = QString::fromUcs4(&point, 1);
        if (found.contains(character))
            continue;
        const QByteArray encoded = codec.encode(character);
        if (codec.decode(asBytes(encoded)) != character)
            found += character;
    }
}

} // namespace

ImportCheck checkImport(std::span<const Party> parties, AnsiCodec &codec)
{
    ImportCheck check;
    check.empty = parties.empty();
    const std::size_t stored = std::min<std::size_t>(parties.size(), kContactCount);
    for (std::size_t i = 0; i < stored; ++i) {
        const Party &party = parties[i];
        if (!readableName(party.name) || !readableNumber(party.number)) {
            check.unreadable.push_back(static_cast<int>(i) + 1);
            continue;
        }
        collectUnencodable(party.name, codec, check.unencodable);
        collectUnencodable(party.number, codec, check.unencodable);
    }
    return check;
}

} // namespace vestra7
