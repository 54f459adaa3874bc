// SPDX-License-Identifier: GPL-3.0-or-later
// The words for an update cut short by a signal, shared by the window and the command line.
#include "app/interrupted_update.h"

#include <QCoreApplication>

namespace vestra7 {

QString interruptedUpdateText(const QString &serial, const QString &product)
{
    return QCoreApplication::translate("InterruptedUpdate",
                                       "Interrupted during a firmware update: the adapter %1 is left in its boot "
                                       "loader. Running the same update again recovers it.")
        .arg(serial.isEmpty() ? product : serial);
}

} // namespace vestra7
