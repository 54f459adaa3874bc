// The program's start-up sequence and its orderly end.
#include "app/application.h"

#include "app/termination_signals.h"
#include "ui/main_window.h"
#include "ui/update.h"

#include <QApplication>

Application::Application(DeviceLink::BackendFactory makeBackend)
    : m_link(std::move(makeBackend))
    , m_mainWindow(std::make_unique<MainWindow>(m_link))
    , m_fu(new Tfu(m_link, m_mainWindow.get()))
{
    QGuiApplication::setDesktopFileName(QStringLiteral(VESTRA7_APP_ID));
    m_mainWindow->setUpdateWindow(m_fu);
    m_link.setView(m_mainWindow.get());
    m_link.setRefresh([this] { m_mainWindow->showRecord(); });
    m_link.setSendFailureHandler([this](const QString &text) { m_mainWindow->showSendFailure(text); });
    m_link.setUpdateReplyHandler(
        [this](std::uint8_t cmd, std::span<const std::uint8_t> payload) { m_fu->uret(cmd, payload); });
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
        m_mainWindow->close();
        QCoreApplication::exit(0);
    });
    m_mainWindow->show();
    return QApplication::exec();
}
