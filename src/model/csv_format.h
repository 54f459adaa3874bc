// SPDX-License-Identifier: GPL-3.0-or-later
// Phone-book parties as comma-separated values: a "Name,Number" table.
#pragma once

#include "model/party_text.h"

#include <QByteArray>
#include <QString>

#include <span>
#include <vector>

// The header "Name,Number" and one row per party, UTF-8 with CRLF line ends; a field is quoted
// when it holds a separator, a quote, a line break or blanks at either end.
QByteArray writeCsv(std::span<const Party> parties);

// The rows of an already decoded text: the first column is the name, the second the number. The
// separator is the comma, the semicolon or the tab, whichever the first row holds most of. The first
// row is a header, and left out, when its second field holds text but no digit. Unquoted fields
// lose their surrounding blanks; rows with no text at all are left out.
std::vector<Party> readCsv(const QString &text);
