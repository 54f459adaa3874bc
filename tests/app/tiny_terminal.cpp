// SPDX-License-Identifier: GPL-3.0-or-later
// The tiny terminal's screen.
#include "tiny_terminal.h"

#include <algorithm>

namespace vestra7 {

namespace {

// The length of the bytes up to a character cut off at their end.
qsizetype wholeCharacters(const QByteArray &bytes)
{
    for (qsizetype back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
}

} // namespace

TinyTerminal::TinyTerminal(int columns, int rows)
    : m_columns(columns)
    , m_rows(rows)
{
}

QString &TinyTerminal::row()
{
    while (m_lines.size() <= m_row)
        m_lines.append(QString());
    return m_lines[m_row];
}

void TinyTerminal::put(char32_t c)
{
    if (c == U'\r') {
        m_column = 0;
        m_pendingWrap = false;
    } else if (c == U'\n') {
        ++m_row;
        m_pendingWrap = false;
    } else if (c >= 0x20) {
        if (m_pendingWrap) {
            ++m_row;
            m_column = 0;
            m_pendingWrap = false;
        }
        QString &line = row();
        if (line.size() <= m_column)
            line += QString(m_column - line.size() + 1, QLatin1Char(' '));
        line[m_column] = c > 0xFFFF ? QChar(0xFFFD) : QChar(static_cast<char16_t>(c));
        if (m_column == m_columns - 1)
            m_pendingWrap = true;
        else
            ++m_column;
    }
}

void TinyTerminal::escape(QChar final, int count)
{
    const int top = std::max(0, static_cast<int>(m_lines.size()) - m_rows);
    m_pendingWrap = false;
    if (final == QLatin1Char('A'))
        m_row = std::max(top, m_row - std::max(count, 1));
    else if (final == QLatin1Char('B'))
        m_row += std::max(count, 1);
    else if (final == QLatin1Char('K'))
        row().truncate(m_column);
    else if (final == QLatin1Char('J')) {
        row().truncate(m_column);
        while (m_lines.size() > m_row + 1)
            m_lines.removeLast();
    }
}

void TinyTerminal::feed(const QByteArray &bytes)
{
    m_undecoded += bytes;
    const qsizetype whole = wholeCharacters(m_undecoded);
    const QString text = QString::fromUtf8(m_undecoded.left(whole));
    m_undecoded.remove(0, whole);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QChar(0x1b)) {
            const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            put(pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode());
            i += pair ? 1 : 0;
            continue;
        }
        if (i + 1 >= text.size() || text[i + 1] != QLatin1Char('[')) {
            if (i + 1 >= text.size())
                m_undecoded.prepend(text.mid(i).toUtf8());
            continue; // other sequences are not drawn
        }
        qsizetype end = i + 2;
        while (end < text.size() && (text[end].isDigit() || text[end] == QLatin1Char(';')))
            ++end;
        if (end >= text.size()) {
            m_undecoded.prepend(text.mid(i).toUtf8());
            return;
        }
        escape(text[end], text.mid(i + 2, end - i - 2).toInt());
        i = end;
    }
}

void TinyTerminal::resize(int columns)
{
    m_columns = columns;
    for (QString &line : m_lines)
        line.truncate(columns);
    m_column = std::min(m_column, columns - 1);
}

QStringList TinyTerminal::rows() const
{
    QStringList rows;
    for (const QString &line : m_lines) {
        QString trimmed = line;
        while (trimmed.endsWith(QLatin1Char(' ')))
            trimmed.chop(1);
        rows << trimmed;
    }
    while (!rows.isEmpty() && rows.back().isEmpty())
        rows.removeLast();
    return rows;
}

int TinyTerminal::rowsHolding(const QString &text) const
{
    const QStringList all = rows();
    return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const QString &r) { return r.contains(text); }));
}

} // namespace vestra7
