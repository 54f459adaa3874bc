// SPDX-License-Identifier: GPL-3.0-or-later
// The signal histories of the adapters, each apart.
#include "model/signal_histories.h"

namespace vestra7 {

void SignalHistories::append(const QString &adapter, SignalHistory::Sample sample)
{
    SignalHistory &history = m_histories[adapter];
    sample.afterPause = sample.afterPause || (!history.samples().empty() && adapter != m_lastAdapter);
    m_lastAdapter = adapter;
    history.append(sample);
}

const SignalHistory &SignalHistories::of(const QString &adapter) const
{
    const auto found = m_histories.find(adapter);
    return found != m_histories.end() ? found->second : m_none;
}

} // namespace vestra7
