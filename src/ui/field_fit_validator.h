// SPDX-License-Identifier: GPL-3.0-or-later
// Accepts in an edit only a text that the record's field holds as it is shown.
#pragma once

#include <QValidator>

#include <cstddef>

// The record keeps a party's name and number in fields of a fixed number of bytes, in the adapter's
// code page. A text that needs more bytes would be cut, and a character the code page lacks would
// turn into '?': neither is let into the edit, so what the edit shows is what is stored.
class FieldFitValidator final : public QValidator
{
public:
    FieldFitValidator(std::size_t fieldWidth, QObject *parent = nullptr);

    State validate(QString &input, int &position) const override;

    // Whether the text is stored exactly as it reads.
    bool fits(const QString &text) const;

private:
    std::size_t m_fieldWidth;
};
