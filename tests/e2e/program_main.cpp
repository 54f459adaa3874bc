// SPDX-License-Identifier: GPL-3.0-or-later
// The program as users run it, over the platform's HID access, with a line on standard input through
// which a test acts as the user: "close" chooses File > Close, "update <path>" opens the update window
// and picks that file there, its messages dismissed at once and written to standard output.
#include "app/application.h"
#include "link/hidapi_backend.h"
#include "ui/firmware_update_dialog.h"
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>

#include <unistd.h>

#include <cstdio>
#include <string>

using namespace vestra7;

namespace {

void act(Application &application, const QString &command)
{
    MainWindow &window = application.mainWindow();
    if (command == QLatin1String("close")) {
        window.findChild<QAction *>(QStringLiteral("closeAction"))->trigger();
    } else if (command.startsWith(QLatin1String("update "))) {
        UpdatePrompts prompts;
        prompts.chooseFile = [path = command.mid(7)](QFileDialog &) {
            return path;
        };
        prompts.showMessage = [](QWidget *, QMessageBox::Icon, const QString &text, const QString &) {
            std::printf("message %s\n", qPrintable(text));
            std::fflush(stdout);
        };
        prompts.confirm = [](QWidget *, const QString &question, bool) {
            std::printf("confirm %s\n", qPrintable(question));
            std::fflush(stdout);
            return true;
        };
        FirmwareUpdateDialog &update = application.updateDialog();
        update.setPrompts(prompts);
        // Once the window is open and the boot loader found, the file is chosen.
        auto *choose = new QTimer(&update);
        auto *selectFile = update.findChild<QPushButton *>(QStringLiteral("selectFileButton"));
        QObject::connect(choose, &QTimer::timeout, &update, [choose, &update, selectFile] {
            if (update.isVisible() && selectFile->isEnabled()) {
                choose->deleteLater();
                selectFile->click();
            }
        });
        choose->start(10);
        // The menu command shows the window modally: leave this handler first.
        QTimer::singleShot(
            0, &window, [&window] { window.findChild<QAction *>(QStringLiteral("updateFirmwareAction"))->trigger(); });
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Application application([] { return std::make_unique<HidapiBackend>(); });

    std::string pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[512];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            input.setEnabled(false);
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(count));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const QString command = QString::fromStdString(pending.substr(0, end));
            pending.erase(0, end + 1);
            act(application, command);
        }
    });
    return application.exec();
}
