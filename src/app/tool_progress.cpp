// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing an update's progress for a person or for a log.
#include "app/tool_progress.h"

#include <QIODevice>

#include <algorithm>

namespace {

constexpr int kBarWidth = 30;

} // namespace

ToolProgress::ToolProgress(QIODevice &out, bool terminal, QString label)
    : m_out(out)
    , m_terminal(terminal)
    , m_label(std::move(label))
{
}

void ToolProgress::show(std::uint64_t position, std::uint64_t size)
{
    const double share = size == 0 ? 1.0 : std::min(1.0, static_cast<double>(position) / static_cast<double>(size));
    if (m_terminal) {
        const int filled = static_cast<int>(share * kBarWidth);
        const QString bar = QString(filled, QLatin1Char('#')) + QString(kBarWidth - filled, QLatin1Char('-'));
        m_out.write(QStringLiteral("\r%1 [%2] %3 %").arg(m_label, bar).arg(share * 100.0, 5, 'f', 1).toUtf8());
        m_barShown = true;
        return;
    }
    const int tenth = static_cast<int>(share * 10.0);
    if (tenth == m_lastTenth)
        return;
    m_lastTenth = tenth;
    m_out.write(QStringLiteral("%1: %2 %\n").arg(m_label).arg(tenth * 10).toUtf8());
}

void ToolProgress::finish()
{
    if (std::exchange(m_barShown, false))
        m_out.write("\n");
}
