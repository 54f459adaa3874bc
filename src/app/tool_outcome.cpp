// SPDX-License-Identifier: GPL-3.0-or-later
// What a signal left behind on an adapter, as the command reports it.
#include "app/tool_outcome.h"

#include "app/interrupted_update.h"
#include "ports/adapter_port.h"

#include <QCoreApplication>

namespace vestra7 {

ToolOutcome interruptedOutcome(const ToolCommand &command, const PresentAdapter &target, bool inBootLoader, int signal,
                               const QString &file)
{
    const auto exit = static_cast<ToolExit>(128 + signal);
    if (!inBootLoader)
        return {exit, QCoreApplication::translate("ToolRunner", "Interrupted."), file};
    if (command.kind == ToolCommand::Kind::Update)
        return {exit, interruptedUpdateText(target.serial, target.product), file};
    return {exit,
            QCoreApplication::translate("ToolRunner",
                                        "Interrupted: the adapter is left in its boot loader. Running the "
                                        "same command again brings it back."),
            file};
}

} // namespace vestra7
