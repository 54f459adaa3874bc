// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing updates' progress for a person or for a log.
#include "app/tool_progress.h"

#include <QIODevice>

#include <algorithm>

namespace vestra7 {

namespace {

constexpr int kBarWidth = 30;

} // namespace

ToolProgress::ToolProgress(QIODevice &out, bool terminal, QStringList labels)
    : m_out(out)
    , m_terminal(terminal)
    , m_labels(std::move(labels))
    , m_lastTenth(static_cast<std::size_t>(m_labels.size()), -1)
{
}

void ToolProgress::show(int row, std::uint64_t position, std::uint64_t size)
{
    const double share = size == 0 ? 1.0 : std::min(1.0, static_cast<double>(position) / static_cast<double>(size));
    if (m_terminal) {
        redraw(row, share);
        return;
    }
    const int tenth = static_cast<int>(share * 10.0);
    if (std::exchange(m_lastTenth[static_cast<std::size_t>(row)], tenth) == tenth)
        return;
    m_out.write(QStringLiteral("%1: %2 %\n").arg(m_labels[row]).arg(tenth * 10).toUtf8());
}

QString ToolProgress::bar(int row, double share) const
{
    const int filled = static_cast<int>(share * kBarWidth);
    const QString bar = QString(filled, QLatin1Char('#')) + QString(kBarWidth - filled, QLatin1Char('-'));
    return QStringLiteral("%1 [%2] %3 %").arg(m_labels[row], bar).arg(share * 100.0, 5, 'f', 1);
}

void ToolProgress::redraw(int row, double share)
{
    if (m_labels.size() == 1) {
        m_out.write(QStringLiteral("\r%1").arg(bar(row, share)).toUtf8());
        m_barShown = true;
        return;
    }
    // Several adapters: a line each, drawn once and then rewritten where it stands, the cursor kept
    // below the last one.
    if (!std::exchange(m_barShown, true)) {
        for (int other = 0; other < m_labels.size(); ++other)
            m_out.write((bar(other, 0.0) + QLatin1Char('\n')).toUtf8());
    }
    const auto up = m_labels.size() - row;
    m_out.write(QStringLiteral("\x1b[%1A\r%2\x1b[K\x1b[%1B\r").arg(up).arg(bar(row, share)).toUtf8());
}

void ToolProgress::finish()
{
    if (std::exchange(m_barShown, false) && m_labels.size() == 1)
        m_out.write("\n");
}

} // namespace vestra7
