// SPDX-License-Identifier: GPL-3.0-or-later
// Checking a text against the field that will hold it, and cutting an insertion to fit.
#include "ui/field_fit_validator.h"

#include "model/ansi_codec.h"
#include "model/byte_span.h"

namespace vestra7 {

namespace {

QString decoded(AnsiCodec &codec, const QByteArray &bytes)
{
    return codec.decode(asBytes(bytes));
}

// How many code units make the character that ends just before `position`.
int characterBefore(const QString &text, int position)
{
    return position >= 2 && text.at(position - 1).isLowSurrogate() && text.at(position - 2).isHighSurrogate() ? 2 : 1;
}

} // namespace

FieldFitValidator::FieldFitValidator(std::size_t fieldWidth, QObject *parent)
    : QValidator(parent)
    , m_fieldWidth(fieldWidth)
{
}

QValidator::State FieldFitValidator::validate(QString &input, int &position) const
{
    if (const QString missing = firstUnencodable(input); !missing.isEmpty()) {
        emit textRefused(tr("\"%1\" cannot be stored: the adapter's code page has no such character.").arg(missing));
        return Invalid;
    }
    if (byteCount(input) <= m_fieldWidth)
        return Acceptable;
    // What was there before fitted, so cutting the insertion back from its end comes to a fit at the
    // latest where it began.
    while (position > 0 && byteCount(input) > m_fieldWidth) {
        const int length = characterBefore(input, position);
        position -= length;
        input.remove(position, length);
    }
    if (byteCount(input) > m_fieldWidth)
        return Invalid;
    emit textRefused(tr("Only the first %1 bytes fit into this field; the rest was cut off.").arg(m_fieldWidth));
    return Acceptable;
}

bool FieldFitValidator::fits(const QString &text) const
{
    return firstUnencodable(text).isEmpty() && byteCount(text) <= m_fieldWidth;
}

std::size_t FieldFitValidator::byteCount(const QString &text) const
{
    return static_cast<std::size_t>(AnsiCodec::system().encode(text).size());
}

QString FieldFitValidator::firstUnencodable(const QString &text) const
{
    AnsiCodec &codec = AnsiCodec::system();
    if (decoded(codec, codec.encode(text)) == text)
        return {};
    // A character the code page lacks comes back as something else.
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (decoded(codec, codec.encode(character)) != character)
            return character;
        i += length;
    }
    return {};
}

} // namespace vestra7
