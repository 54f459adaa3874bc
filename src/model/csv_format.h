// SPDX-License-Identifier: GPL-3.0-or-later
// Phone-book parties as comma-separated values: a "Name,Number" table.
#pragma once

#include "model/party_text.h"

#include <QByteArray>
#include <QString>

#include <span>

namespace vestra7 {

// A UTF-8 byte-order mark, the header "Name,Number" and one row per party, CRLF line ends; a field is
// quoted when it holds a separator, a quote, a line break or blanks at either end.
QByteArray writeCsv(std::span<const Party> parties);

// The rows of an already decoded text, each party handed to `take` in file order. The separator is
// the comma, the semicolon or the tab, whichever the first row holds most of. A first row naming
// columns as address books do ("Name", "Given Name", "Family Name", "Phone 1 - Value", "Mobile Phone",
// "Имя", "Телефон", ...) picks the name and number columns. Otherwise the first column is the name and
// the second the number, swapped in a row that has a number first and text second; a first row with
// text but no digit in its second field is a header of other wording, and left out. Unquoted fields
// lose their surrounding blanks; rows with no name and no number are left out. A leading byte-order
// mark is skipped. Time and memory grow in proportion to the text.
void readCsv(QStringView text, const PartySink &take);

} // namespace vestra7
