// SPDX-License-Identifier: GPL-3.0-or-later
// One signal history per adapter seen during the run, so that the adapters' levels never mix.
#pragma once

#include "model/signal_history.h"

#include <QString>

#include <map>

namespace vestra7 {

class SignalHistories
{
public:
    // Adds a sample of the adapter named `adapter`. The first sample after samples of another adapter
    // comes after a pause of this one.
    void append(const QString &adapter, SignalHistory::Sample sample);

    // The adapter's history; an empty one for an adapter not seen yet.
    const SignalHistory &of(const QString &adapter) const;
    std::size_t adapterCount() const { return m_histories.size(); }

private:
    std::map<QString, SignalHistory> m_histories;
    QString m_lastAdapter;
    SignalHistory m_none;
};

} // namespace vestra7
