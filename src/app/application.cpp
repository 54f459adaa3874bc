// The program's start-up sequence and its orderly end.
#include "app/application.h"

#include "ui/umain.h"
#include "ui/update.h"

#include <QApplication>

int runApplication(DeviceLink::BackendFactory makeBackend)
{
    QGuiApplication::setDesktopFileName(QStringLiteral(VESTRA7_APP_ID));
    DeviceLink link(std::move(makeBackend));
    Tfmain fmain(link);
    // A child of the main window, over which it is centred each time it is shown; it goes first.
    Tfu fu(link, &fmain);
    fmain.setUpdateWindow(&fu);

    link.setView(&fmain);
    link.setRefresh([&fmain] { fmain.Refresh(); });
    link.setSendFailureHandler([&fmain](const QString &text) { fmain.showSendFailure(text); });
    link.setUpdateReplyHandler(
        [&fu](std::uint8_t cmd, std::span<const std::uint8_t> payload) { fu.uret(cmd, payload); });

    fmain.show();
    const int status = QApplication::exec();
    // The windows go before the link, so the worker and the reading threads are stopped first: none of
    // them may wait on a GUI thread that no longer serves them, nor call into a window that is gone.
    link.shutdown();
    return status;
}
