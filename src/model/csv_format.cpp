// SPDX-License-Identifier: GPL-3.0-or-later
// Writing and reading comma-separated phone books.
#include "model/csv_format.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <functional>
#include <initializer_list>
#include <utility>

namespace vestra7 {

namespace {

// Lets a spreadsheet that does not assume UTF-8 tell the encoding.
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

constexpr QChar kTextMark = u'\'';

// Digits with what a spreadsheet reads as part of a number, a date or a time around them.
bool readsAsNumber(QStringView text)
{
    static const QString numberCharacters = QStringLiteral("+-.,/:()%eE");
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); }) &&
           std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.isDigit() || c.isSpace() || numberCharacters.contains(c); });
}

// Whether a spreadsheet would take the text for anything but text. A text of apostrophes and such a
// text needs the mark too: otherwise reading it back would take its first apostrophe for the mark.
bool needsTextMark(QStringView text)
{
    while (text.startsWith(kTextMark))
        text = text.sliced(1);
    if (text.isEmpty())
        return false;
    if (text.front() == u'\t' || text.front() == u'\r' || text.front() == u'\n')
        return true;
    const QStringView start = text.trimmed();
    static const QString formulaStarts = QStringLiteral("=+-@");
    return (!start.isEmpty() && formulaStarts.contains(start.front())) || readsAsNumber(text);
}

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

// Hands each row's fields to `take` after the quoting rules of RFC 4180; a line break inside quotes
// belongs to the field. Every character is looked at once, and only the current row is held.
void parseRows(QStringView text, QChar separator, const std::function<void(const QStringList &)> &take)
{
    QStringList row;
    QString field;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the current field began with a quote
    bool hasText = false;   // the current unquoted field holds more than blanks
    auto endField = [&] {
        row << csvCellText(wasQuoted ? field : field.trimmed());
        field.clear();
        wasQuoted = hasText = false;
    };
    auto endRow = [&] {
        endField();
        take(row);
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
        } else if (c == u'"' && !hasText && !wasQuoted) {
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
            hasText = hasText || !c.isSpace();
        }
    }
    if (wasQuoted || !field.isEmpty() || !row.isEmpty())
        endRow();
}

QString fieldAt(const QStringList &row, qsizetype index)
{
    return index < row.size() ? row.at(index) : QString();
}

// Digits and what groups or prefixes them, with at least one digit.
bool looksLikeNumber(const QString &field)
{
    static const QString grouping = QStringLiteral(" +-.()/#*");
    return std::any_of(field.begin(), field.end(), [](QChar c) { return c.isDigit(); }) &&
           std::all_of(field.begin(), field.end(), [](QChar c) { return c.isDigit() || grouping.contains(c); });
}

bool isOneOf(const QString &header, std::initializer_list<const char16_t *> words)
{
    return std::any_of(words.begin(), words.end(), [&](const char16_t *word) { return header == QStringView(word); });
}

bool holdsAnyOf(const QString &header, std::initializer_list<const char16_t *> words)
{
    return std::any_of(words.begin(), words.end(),
                       [&](const char16_t *word) { return header.contains(QStringView(word)); });
}

// The columns a header row names, as address books export them. Given, additional and family names
// are joined in that order where no column holds the whole name; a mobile number comes before others.
struct Columns
{
    QList<qsizetype> fullName;
    QList<qsizetype> nameParts;
    QList<qsizetype> numbers;

    bool any() const { return !fullName.isEmpty() || !nameParts.isEmpty() || !numbers.isEmpty(); }

    static Columns of(const QStringList &header)
    {
        Columns columns;
        QList<qsizetype> given, additional, family, mobile;
        for (qsizetype i = 0; i < header.size(); ++i) {
            const QString h = header.at(i).trimmed().toLower();
            if (holdsAnyOf(h, {u"type", u"label", u"тип"}))
                continue; // "Phone 1 - Type" says what "Phone 1 - Value" is
            if (isOneOf(h, {u"name", u"full name", u"display name", u"contact", u"фио", u"полное имя", u"контакт"}))
                columns.fullName << i;
            else if (isOneOf(h, {u"given name", u"first name", u"имя"}))
                given << i;
            else if (isOneOf(h, {u"additional name", u"middle name", u"отчество"}))
                additional << i;
            else if (isOneOf(h, {u"family name", u"last name", u"surname", u"фамилия"}))
                family << i;
            else if (holdsAnyOf(h, {u"mobile", u"cell", u"мобильн", u"сотов"}))
                mobile << i;
            else if (holdsAnyOf(h, {u"phone", u"number", u"телефон", u"номер"}) || isOneOf(h, {u"tel"}))
                columns.numbers << i;
        }
        columns.nameParts = given + additional + family;
        columns.numbers = mobile + columns.numbers;
        return columns;
    }

    Party partyOf(const QStringList &row) const
    {
        Party party;
        for (qsizetype column : fullName) {
            party.name = fieldAt(row, column);
            if (!party.name.isEmpty())
                break;
        }
        if (party.name.isEmpty()) {
            QStringList parts;
            for (qsizetype column : nameParts)
                if (const QString part = fieldAt(row, column); !part.isEmpty())
                    parts << part;
            party.name = parts.join(u' ');
        }
        for (qsizetype column : numbers) {
            party.number = fieldAt(row, column);
            if (!party.number.isEmpty())
                break;
        }
        return party;
    }
};

// Without a header the name is the first column and the number the second, unless a row has them
// the other way round: a number first, and text that is no number second.
Party partyByPosition(const QStringList &row)
{
    const QString first = fieldAt(row, 0);
    const QString second = fieldAt(row, 1);
    if (looksLikeNumber(first) && !second.isEmpty() && !looksLikeNumber(second))
        return {second, first};
    return {first, second};
}

// A header of unknown wording: a first row whose second field holds text but no digit, and whose
// first field is no number.
bool isUnknownHeader(const QStringList &row)
{
    const QString number = fieldAt(row, 1);
    return !number.isEmpty() && std::none_of(number.begin(), number.end(), [](QChar c) { return c.isDigit(); }) &&
           !looksLikeNumber(fieldAt(row, 0));
}

} // namespace

QString csvTextCell(const QString &text)
{
    return quotedIfNeeded(needsTextMark(text) ? kTextMark + text : text);
}

QString csvCellText(const QString &content)
{
    if (content.startsWith(kTextMark) && needsTextMark(QStringView(content).sliced(1)))
        return content.sliced(1);
    return content;
}

QByteArray writeCsv(std::span<const Party> parties)
{
    QByteArray out = QByteArray(kByteOrderMark) + "Name,Number\r\n";
    for (const Party &party : parties)
        out += (csvTextCell(party.name) + u',' + csvTextCell(party.number)).toUtf8() + "\r\n";
    return out;
}

void readCsv(QStringView text, const PartySink &take)
{
    if (text.startsWith(u'\xFEFF'))
        text = text.sliced(1);
    bool first = true;
    Columns columns;
    parseRows(text, separatorOf(text), [&](const QStringList &row) {
        if (std::exchange(first, false)) {
            columns = Columns::of(row);
            if (columns.any() || isUnknownHeader(row))
                return;
        }
        Party party = columns.any() ? columns.partyOf(row) : partyByPosition(row);
        if (!party.name.isEmpty() || !party.number.isEmpty())
            take(std::move(party));
    });
}

} // namespace vestra7
