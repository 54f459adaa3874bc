// The main window.
#include "ui/umain.h"

#include "app/access_problem.h"
#include "link/device_link.h"
#include "ui/update.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>

namespace {

constexpr int kPollIntervalMs = 200;

} // namespace

Tfmain::Tfmain(DeviceLink &link, QWidget *parent)
    : QMainWindow(parent)
    , m_link(link)
{
    setWindowTitle(QStringLiteral("VESTRA7"));
    tmr.setInterval(kPollIntervalMs);
    connect(&tmr, &QTimer::timeout, this, &Tfmain::tmrTimer);
}

void Tfmain::Refresh()
{
}

void Tfmain::save()
{
    m_link.save();
}

void Tfmain::Cont(bool en)
{
    centralWidget() ? centralWidget()->setEnabled(en) : void();
}

void Tfmain::showIdentity(const QString &name, const QString &serial, const QString &version)
{
    if (fu)
        fu->setIdentity(name, serial, version);
}

void Tfmain::showTitle(const QString &title)
{
    QGuiApplication::setApplicationDisplayName(title);
    setWindowTitle(title);
}

void Tfmain::enableBootLoaderActions(bool enabled)
{
    if (fu)
        fu->enableBootLoaderActions(enabled);
}

void Tfmain::showAccessProblem(const QString &reason)
{
    QMessageBox::warning(this, windowTitle(), accessProblemText(reason));
}

void Tfmain::showSendFailure(const QString &text)
{
    QMessageBox::critical(this, windowTitle(), text);
}

void Tfmain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void Tfmain::closeEvent(QCloseEvent *event)
{
    FormClose();
    QMainWindow::closeEvent(event);
}

void Tfmain::FormShow()
{
    // Disconnected until an adapter in normal mode is claimed, also when no HID device is present.
    Cont(false);
    m_link.start_device_link();
    tmr.start();
}

void Tfmain::FormClose()
{
    tmr.stop();
    m_link.terminate();
}

void Tfmain::tmrTimer()
{
    if (m_link.boot_mode || (fu && fu->isVisible()))
        return;
    m_link.poll();
}
