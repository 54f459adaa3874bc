// SPDX-License-Identifier: GPL-3.0-or-later
// Phone-book parties as comma-separated values: a "Name,Number" table.
#pragma once

#include "model/party_text.h"

#include <QByteArray>
#include <QString>

#include <span>

namespace vestra7 {

// One text cell of any CSV the program writes (names, phone numbers, adapter keys), ready to be put
// between separators. A spreadsheet reads it as text, never as a formula, a number or a date, so
// that it neither runs what a name holds nor drops a number's plus sign or leading zeros: a text
// that starts with "=", "+", "-" or "@" (after blanks, if any), with a tab or a line break, or that
// is digits with only blanks and + - . , / : ( ) % e E among them ("0049 30 1", "123", "1/2"), gets
// an apostrophe in front, which spreadsheets take as "this is text"; so does such a text that
// already starts with apostrophes, so that the one added can always be told from the text's own.
// Then the cell is quoted when it holds a separator, a quote, a line break or blanks at either end.
// Columns of numbers meant as numbers (signal levels, seconds) are written as plain numbers instead.
QString csvTextCell(const QString &text);
// The text of a cell as csvTextCell() was given it, from the cell's unquoted content: the apostrophe
// it added goes, and nothing else, so that a round trip keeps every name and number.
QString csvCellText(const QString &content);

// A UTF-8 byte-order mark, the header "Name,Number" and one row per party, CRLF line ends; each
// field a csvTextCell().
QByteArray writeCsv(std::span<const Party> parties);

// The rows of an already decoded text, each party handed to `take` in file order. The separator is
// the comma, the semicolon or the tab, whichever the first row holds most of. A first row naming
// columns as address books do ("Name", "Given Name", "Family Name", "Phone 1 - Value", "Mobile Phone",
// "Имя", "Телефон", ...) picks the name and number columns. Otherwise the first column is the name and
// the second the number, swapped in a row that has a number first and text second; a first row with
// text but no digit in its second field is a header of other wording, and left out. Unquoted fields
// lose their surrounding blanks, and every field what csvTextCell() added; rows with no name and no
// number are left out. A leading byte-order mark is skipped. Time and memory grow in proportion to
// the text.
void readCsv(QStringView text, const PartySink &take);

} // namespace vestra7
