// SPDX-License-Identifier: GPL-3.0-or-later
// A firmware update's progress on standard error: a bar redrawn in place on a terminal, plain lines
// every ten per cent for a log.
#pragma once

#include <QString>

#include <cstdint>

class QIODevice;

class ToolProgress final
{
public:
    ToolProgress(QIODevice &out, bool terminal, QString label);

    // `position` of `size` bytes through; the last chunk may go past the end.
    void show(std::uint64_t position, std::uint64_t size);
    // Ends the bar's line.
    void finish();

private:
    QIODevice &m_out;
    bool m_terminal;
    QString m_label;
    int m_lastTenth = -1;
    bool m_barShown = false;
};
