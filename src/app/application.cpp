// SPDX-License-Identifier: GPL-3.0-or-later
// The program's start-up sequence and its orderly end.
#include "app/application.h"

#include "app/interrupted_update.h"
#include "app/termination_signals.h"
#include "app/tool_text.h"
#include "backups/backup_policy.h"
#include "ui/backup_keeper.h"
#include "ui/firmware_update_dialog.h"
#include "ui/line_status_window.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QFile>

namespace vestra7 {

Application::Application(Adapter::BackendFactory makeBackend, const QString &backupRoot)
    : m_adapter(std::move(makeBackend))
    , m_backupPolicy(
          std::make_unique<BackupPolicy>(m_adapter, backupRoot.isEmpty() ? BackupPolicy::defaultRoot() : backupRoot))
    , m_backupKeeper(std::make_unique<BackupKeeper>(*m_backupPolicy))
    , m_mainWindow(std::make_unique<MainWindow>(m_adapter))
    , m_updateDialog(new FirmwareUpdateDialog(m_adapter, m_mainWindow.get()))
    , m_lineStatusWindow(new LineStatusWindow(m_adapter, m_mainWindow.get()))
{
    QGuiApplication::setDesktopFileName(QStringLiteral(VESTRA7_APP_ID));
    m_mainWindow->setUpdateWindow(m_updateDialog);
    m_mainWindow->setLineStatusWindow(m_lineStatusWindow);
    m_mainWindow->setBackupKeeper(m_backupKeeper.get());
    m_updateDialog->setBackupKeeper(m_backupKeeper.get());
}

Application::~Application()
{
    m_adapter.shutdown();
}

int Application::exec()
{
    // Asked by the system to end: close the main window as the user does, and leave every event loop,
    // also that of the update window, which while it is shown keeps the main window from closing. A
    // transfer cut short leaves the adapter in its boot loader: that is said, and the exit code tells.
    const TerminationSignals termination([this](int signal) {
        int code = 0;
        if (m_adapter.updater().transferring()) {
            const AdapterIdentity identity = m_adapter.identity();
            QFile err;
            if (err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered))
                writeToolError(err, interruptedUpdateText(identity.serial, identity.product));
            code = 128 + signal;
        }
        m_mainWindow->close();
        QCoreApplication::exit(code);
    });
    m_mainWindow->show();
    return QApplication::exec();
}

} // namespace vestra7
