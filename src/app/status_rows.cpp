// SPDX-License-Identifier: GPL-3.0-or-later
// Fitting the watched line to a terminal's width, and redrawing it in place.
#include "app/status_rows.h"

#include <algorithm>
#include <cwchar>

namespace vestra7 {

namespace {

const QString kSeparator = QStringLiteral(" | ");
const QString kIndent = QStringLiteral("  ");

int columnsOf(char32_t c)
{
    // The locale's idea of the character (the program's start sets LC_CTYPE from the environment);
    // one column where it has none, as in the C locale.
    const int columns = ::wcwidth(static_cast<wchar_t>(c));
    return columns < 0 ? 1 : columns;
}

// The length in UTF-16 units of the character at `at`.
qsizetype characterLength(QStringView text, qsizetype at)
{
    return text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2 : 1;
}

char32_t characterAt(QStringView text, qsizetype at)
{
    return characterLength(text, at) == 2 ? QChar::surrogateToUcs4(text[at], text[at + 1]) : text[at].unicode();
}

} // namespace

int displayWidth(QStringView text)
{
    int width = 0;
    for (qsizetype at = 0; at < text.size(); at += characterLength(text, at))
        width += columnsOf(characterAt(text, at));
    return width;
}

QString cutToWidth(QStringView text, int width)
{
    if (displayWidth(text) <= width)
        return text.toString();
    const QString ellipsis = QStringLiteral("…");
    QString cut;
    int used = 0;
    for (qsizetype at = 0; at < text.size(); at += characterLength(text, at)) {
        const int columns = columnsOf(characterAt(text, at));
        if (used + columns > width - 1)
            break;
        used += columns;
        cut += text.mid(at, characterLength(text, at));
    }
    return width > 0 ? cut + ellipsis : QString();
}

QStringList fittedRows(const QString &head, const QStringList &parts, int width)
{
    const int usable = std::max(width - 1, 1);
    QStringList rows{head + parts.value(0)};
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString beside = rows.back() + kSeparator + parts[i];
        if (displayWidth(beside) <= usable)
            rows.back() = beside;
        else
            rows << kIndent + parts[i];
    }
    for (QString &row : rows)
        row = cutToWidth(row, usable);
    return rows;
}

QString redrawnRows(const QStringList &rows, qsizetype drawnRows)
{
    QString out = QStringLiteral("\r");
    if (drawnRows > 1)
        out += QStringLiteral("\x1b[%1A").arg(drawnRows - 1);
    return out + QStringLiteral("\x1b[J") + rows.join(QStringLiteral("\r\n"));
}

} // namespace vestra7
