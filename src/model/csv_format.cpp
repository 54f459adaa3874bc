// SPDX-License-Identifier: GPL-3.0-or-later
// Writing and reading comma-separated phone books.
#include "model/csv_format.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace {

QString quotedIfNeeded(const QString &field)
{
    const bool needsQuotes = field.contains(u',') || field.contains(u';') || field.contains(u'"') ||
                             field.contains(u'\r') || field.contains(u'\n') ||
                             (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()));
    if (!needsQuotes)
        return field;
    return u'"' + QString(field).replace(QLatin1String("\""), QLatin1String("\"\"")) + u'"';
}

// The separator the first row, outside quotes, holds most of; the comma when it holds none.
QChar separatorOf(QStringView text)
{
    constexpr std::array<char16_t, 3> candidates{u',', u';', u'\t'};
    std::array<int, 3> counts{};
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        for (std::size_t i = 0; i < candidates.size(); ++i)
            counts[i] += !quoted && c == candidates[i] ? 1 : 0;
    }
    const auto most = std::max_element(counts.begin(), counts.end());
    return *most == 0 ? QChar(u',') : QChar(candidates[static_cast<std::size_t>(most - counts.begin())]);
}

// Rows of fields after the quoting rules of RFC 4180; a line break inside quotes belongs to the field.
std::vector<QStringList> parseRows(QStringView text, QChar separator)
{
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the current field began with a quote
    auto endField = [&] {
        row << (wasQuoted ? field : field.trimmed());
        field.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endField();
        rows.push_back(row);
        row.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != u'"')
                field += c;
            else if (i + 1 < text.size() && text.at(i + 1) == u'"')
                field += text.at(++i);
            else
                quoted = false;
        } else if (c == u'"' && field.trimmed().isEmpty() && !wasQuoted) {
            field.clear();
            quoted = wasQuoted = true;
        } else if (c == separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            endRow();
        } else if (!wasQuoted) {
            field += c; // text after a closing quote is dropped
        }
    }
    if (wasQuoted || !field.isEmpty() || !row.isEmpty())
        endRow();
    return rows;
}

QString fieldAt(const QStringList &row, qsizetype index)
{
    return index < row.size() ? row.at(index) : QString();
}

bool isHeader(const QStringList &row)
{
    const QString number = fieldAt(row, 1);
    return !number.isEmpty() && std::none_of(number.begin(), number.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

QByteArray writeCsv(std::span<const Party> parties)
{
    QByteArray out = "Name,Number\r\n";
    for (const Party &party : parties)
        out += (quotedIfNeeded(party.name) + u',' + quotedIfNeeded(party.number)).toUtf8() + "\r\n";
    return out;
}

std::vector<Party> readCsv(const QString &text)
{
    std::vector<QStringList> rows = parseRows(text, separatorOf(text));
    if (!rows.empty() && isHeader(rows.front()))
        rows.erase(rows.begin());
    std::vector<Party> parties;
    for (const QStringList &row : rows) {
        Party party{fieldAt(row, 0), fieldAt(row, 1)};
        if (!party.name.isEmpty() || !party.number.isEmpty())
            parties.push_back(std::move(party));
    }
    return parties;
}
