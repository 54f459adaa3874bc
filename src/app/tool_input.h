// SPDX-License-Identifier: GPL-3.0-or-later
// The file a command takes (a configuration, an update, a phone book), read once before any adapter
// is touched.
#pragma once

#include "app/tool_command.h"
#include "app/tool_outcome.h"
#include "model/phone_book_exchange.h"

#include <QByteArray>

namespace vestra7 {

struct ToolInput
{
    QByteArray bytes;         // restore and update
    PhoneBookImport contacts; // import-contacts
};

// Reads the command's file and refuses what no adapter is needed to refuse.
Result<ToolInput, ToolOutcome> readToolInput(const ToolCommand &command);

} // namespace vestra7
