// SPDX-License-Identifier: GPL-3.0-or-later
// `update` on one adapter or many at once: an Adapter and an updater each, one adapter's failure
// stopping no other.
#pragma once

#include "app/tool_command.h"
#include "app/tool_outcome.h"
#include "app/tool_session.h"
#include "model/store_identity.h"

#include <memory>
#include <optional>
#include <vector>

class QIODevice;

namespace vestra7 {

class ToolUpdate final
{
public:
    struct Setup
    {
        Adapter::BackendFactory makeBackend;
        ToolTimeouts timeouts;
        QString backupRoot;
        QIODevice *err = nullptr; // for the progress and the notes on backups
        bool terminal = false;    // `err` is a terminal: the progress is redrawn in place
        // Adapters the command has already backed up as first seen: not backed up so again.
        std::vector<StoreIdentity> seenAdapters = {};
    };

    ToolUpdate(const ToolCommand &command, QByteArray file, ToolWaiter &waiter, Setup setup);
    ~ToolUpdate();

    // Updates the adapters, those whose boot loaders can be told apart at once and the others one
    // after another; an outcome for each, in their order, but for those a signal kept from starting.
    std::vector<std::optional<ToolOutcome>> run(const std::vector<PresentAdapter> &targets);

private:
    struct Lane;

    void runBatch(const std::vector<Lane *> &lanes);
    void startLane(Lane &lane);
    ToolStep prepare(Lane &lane);
    std::vector<Lane *> enterBootLoaders(const std::vector<Lane *> &lanes);
    void transferAll(const std::vector<Lane *> &lanes);
    void awaitResults(const std::vector<Lane *> &lanes);
    void settle(const std::vector<Lane *> &lanes);
    void interruptLanes(const std::vector<Lane *> &lanes);

    const ToolCommand &m_command;
    QByteArray m_file;
    ToolWaiter &m_waiter;
    Setup m_setup;
    std::vector<std::unique_ptr<Lane>> m_lanes;
};

} // namespace vestra7
