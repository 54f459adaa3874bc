// SPDX-License-Identifier: GPL-3.0-or-later
// The rows `status --watch` redraws in place on a terminal, fitted to its width.
#pragma once

#include <QString>
#include <QStringList>

namespace vestra7 {

// The columns a text takes on a terminal: two for a wide character, none for a combining one.
int displayWidth(QStringView text);
// The text cut to `width` columns, its end then marked with "…".
QString cutToWidth(QStringView text, int width);
// `head` and the parts joined by " | " in rows that fit `width` columns, one column left free so that
// no terminal wraps a full row: on one row where they fit, else each part that does not fit beside
// the one before on a row of its own, indented; a part too long for a row is cut.
QStringList fittedRows(const QString &head, const QStringList &parts, int width);
// What draws `rows` over the `drawnRows` drawn before, ending on the last row: the cursor back to the
// first of them, everything from there on cleared.
QString redrawnRows(const QStringList &rows, qsizetype drawnRows);

} // namespace vestra7
