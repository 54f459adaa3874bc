// SPDX-License-Identifier: GPL-3.0-or-later
// Firmware updates' progress on standard error: on a terminal a bar per adapter redrawn in place,
// for a log plain lines every ten per cent.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class QIODevice;

namespace vestra7 {

class ToolProgress final
{
public:
    // One row per label, in their order.
    ToolProgress(QIODevice &out, bool terminal, QStringList labels);
    ToolProgress(QIODevice &out, bool terminal, const QString &label)
        : ToolProgress(out, terminal, QStringList{label})
    {
    }

    // `position` of `size` bytes through on the row's adapter; the last chunk may go past the end.
    void show(int row, std::uint64_t position, std::uint64_t size);
    void show(std::uint64_t position, std::uint64_t size) { show(0, position, size); }
    // Ends the bars' lines.
    void finish();

private:
    QString bar(int row, double share) const;
    void redraw(int row, double share);

    QIODevice &m_out;
    bool m_terminal;
    QStringList m_labels;
    std::vector<int> m_lastTenth;
    bool m_barShown = false;
};

} // namespace vestra7
