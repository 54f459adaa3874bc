// SPDX-License-Identifier: GPL-3.0-or-later
// The words for a line's state.
#include "model/line_state.h"

#include <QCoreApplication>

QString lineStateText(std::uint8_t state)
{
    if (canCall(state))
        return QCoreApplication::translate("LineState", "ready");
    if (inCall(state))
        return QCoreApplication::translate("LineState", "in a call");
    return QCoreApplication::translate("LineState", "busy");
}
