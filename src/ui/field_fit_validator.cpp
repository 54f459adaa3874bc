// SPDX-License-Identifier: GPL-3.0-or-later
// Checking a text against the field that will hold it.
#include "ui/field_fit_validator.h"

#include "model/ansi_codec.h"

FieldFitValidator::FieldFitValidator(std::size_t fieldWidth, QObject *parent)
    : QValidator(parent)
    , m_fieldWidth(fieldWidth)
{
}

QValidator::State FieldFitValidator::validate(QString &input, int &) const
{
    return fits(input) ? Acceptable : Invalid;
}

bool FieldFitValidator::fits(const QString &text) const
{
    AnsiCodec &codec = AnsiCodec::system();
    const QByteArray bytes = codec.encode(text);
    if (static_cast<std::size_t>(bytes.size()) > m_fieldWidth)
        return false;
    // A character the code page lacks comes back as something else.
    return codec.decode(std::span(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                  static_cast<std::size_t>(bytes.size()))) == text;
}
