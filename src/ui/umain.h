// The main window: shows the adapter's record and turns the user's changes into record writes.
#pragma once

#include "link/discovery_view.h"

#include <QMainWindow>
#include <QTimer>

class DeviceLink;
class Tfu;

class Tfmain final : public QMainWindow, public DiscoveryView
{
public:
    explicit Tfmain(DeviceLink &link, QWidget *parent = nullptr);

    void setUpdateWindow(Tfu *updateWindow) { fu = updateWindow; }

    // Brings every control in line with the record; run by the worker through the GUI thread.
    void Refresh();
    // Sends the whole record after a change of it.
    void save();

    // DiscoveryView
    void Cont(bool en) override;
    void showIdentity(const QString &name, const QString &serial, const QString &version) override;
    void showTitle(const QString &title) override;
    void enableBootLoaderActions(bool enabled) override;
    void showAccessProblem(const QString &reason) override;

    void showSendFailure(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormShow();
    void FormClose();
    void tmrTimer();

    DeviceLink &m_link;
    Tfu *fu = nullptr;
    QTimer tmr;
    bool m_shown = false;
};
