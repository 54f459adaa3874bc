// The program's start-up sequence and its orderly end.
#include "app/application.h"

#include "app/termination_signals.h"
#include "link/tick_timer.h"
#include "ui/firmware_update_dialog.h"
#include "ui/umain.h"

#include <QApplication>

Application::Application(DeviceLink::BackendFactory makeBackend)
    : m_link(std::move(makeBackend))
    , m_updatePort(m_link)
    , m_updater(m_updatePort, std::make_unique<PreciseTickTimer>())
    , m_fmain(std::make_unique<Tfmain>(m_link))
    , m_updateDialog(new FirmwareUpdateDialog(m_updater, m_link, m_fmain.get()))
{
    QGuiApplication::setDesktopFileName(QStringLiteral(VESTRA7_APP_ID));
    m_fmain->setUpdateWindow(m_updateDialog);
    m_link.setView(m_fmain.get());
    m_link.setRefresh([this] { m_fmain->Refresh(); });
    m_link.setSendFailureHandler([this](const QString &text) { m_fmain->showSendFailure(text); });
    m_link.setFirmwareUpdater(&m_updater);
}

Application::~Application()
{
    m_link.shutdown();
}

int Application::exec()
{
    // Asked by the system to end: close the main window as the user does, and leave every event loop,
    // also that of the update window, which while it is shown keeps the main window from closing.
    const TerminationSignals termination([this] {
        m_fmain->close();
        QCoreApplication::exit(0);
    });
    m_fmain->show();
    return QApplication::exec();
}
