// SPDX-License-Identifier: GPL-3.0-or-later
// Enough of a terminal to see what a program's output leaves on the screen.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vestra7 {

// Text, carriage return, line feed, the cursor up and down (not above the screen's top), erasing to
// the end of the row and of the screen; a row that is full wraps at the next character, as terminals
// do; other escape sequences are read and ignored. Rows that scroll off the top are kept: a copy left
// behind shows there too. A narrower terminal cuts its rows, as one that does not reflow them.
class TinyTerminal
{
public:
    TinyTerminal(int columns, int rows);

    void feed(const QByteArray &bytes);
    void resize(int columns);
    // Every row written, the scrolled-off ones first, without trailing blanks; empty rows at the end
    // left out.
    QStringList rows() const;
    // The rows that hold `text`.
    int rowsHolding(const QString &text) const;
    int columns() const { return m_columns; }

private:
    void put(char32_t c);
    void escape(QChar final, int count);
    QString &row();

    int m_columns;
    int m_rows;
    QStringList m_lines{QString()};
    int m_row = 0;
    int m_column = 0;
    bool m_pendingWrap = false;
    QByteArray m_undecoded; // an escape sequence or a character cut between two feeds
};

} // namespace vestra7
