// SPDX-License-Identifier: GPL-3.0-or-later
// Setting up the run's own folders.
#include "support/run_folders.h"

#include <QCoreApplication>

namespace vestra7 {

RunFolders::RunFolders()
{
    if (!isValid())
        return;
    qputenv("XDG_DATA_HOME", m_dataHome.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", m_configHome.path().toLocal8Bit());
    qputenv("VESTRA7_LOCK_SCOPE", "run-" + QByteArray::number(QCoreApplication::applicationPid()));
}

bool RunFolders::isValid() const
{
    return m_dataHome.isValid() && m_configHome.isValid();
}

} // namespace vestra7
