// SPDX-License-Identifier: GPL-3.0-or-later
// Lets into an edit only a text that the record's field holds as it is shown.
#pragma once

#include <QValidator>

#include <cstddef>

namespace vestra7 {

// The record keeps a party's name and number in fields of a fixed number of bytes, in the adapter's
// code page. What is typed or pasted beyond the field's bytes is cut, and a character the code page
// lacks (it would turn into '?') is refused, each time with a word to the user, so that what the edit
// shows is what is stored.
class FieldFitValidator final : public QValidator
{
    Q_OBJECT

public:
    FieldFitValidator(std::size_t fieldWidth, QObject *parent = nullptr);

    // An insertion, which ends at `position`, is cut from its end until the text fits.
    State validate(QString &input, int &position) const override;

    // Whether the text is stored exactly as it reads.
    bool fits(const QString &text) const;

signals:
    // Part of what was typed or pasted was cut, or all of it refused; `explanation` says why.
    void textRefused(const QString &explanation) const;

private:
    std::size_t byteCount(const QString &text) const;
    // The first character the code page lacks, or an empty text.
    QString firstUnencodable(const QString &text) const;

    std::size_t m_fieldWidth;
};

} // namespace vestra7
