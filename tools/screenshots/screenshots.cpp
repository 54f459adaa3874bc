// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the README's screenshots from the demo's state: the main window connected, with the
// settings panel open, disconnected, the backups window, the question before a firmware transfer,
// and the update window in the middle of a transfer.
//
//   vestra7-screenshots <folder>    (run on the offscreen platform; tools/screenshots.sh does)
#include "app/application.h"
#include "link/commands.h"
#include "model/ansi_codec.h"
#include "model/text_field.h"
#include "sim/demo_adapter.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "ui/firmware_update_dialog.h"
#include "ui/line_status_window.h"
#include "ui/main_window.h"
#include "widgets/captioned_progress_bar.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

bool runUntil(const std::function<bool()> &condition, int timeoutMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(10);
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Lets pending layout and paint events run, so that the picture shows the widgets' last state.
void settle()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool save(QWidget &window, const QDir &folder, const char *name)
{
    settle();
    const QString path = folder.filePath(QString::fromLatin1(name));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// Answers every question with "OK", as the user of the screenshots would; the one before a firmware
// transfer is pictured first.
class QuestionAnswerer
{
public:
    explicit QuestionAnswerer(const QDir &folder)
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this, folder] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (m_busy || !box || !box->isVisible())
                return;
            m_busy = true;
            if (box->text().contains(QLatin1String("replaces the adapter's firmware")))
                savedConfirmation = save(*box, folder, "firmware-confirmation.png");
            box->button(QMessageBox::Ok)->click();
            m_busy = false;
        });
        m_poll.start(50);
    }

    bool savedConfirmation = false;

private:
    QTimer m_poll;
    bool m_busy = false;
};

// The demo's record, with line B in a call, so that both lines' buttons show something different.
DeviceRecord screenshotRecord()
{
    DeviceRecord record = demoRecord();
    record.stat[1] = 3;
    AnsiCodec codec(kDemoCodePage);
    writeTextField(record.usd_txt, QStringLiteral("Баланс 312,40 р. Пакет: 1,2 ГБ до 31.12"), codec);
    return record;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    AnsiCodec::useCodePage(kDemoCodePage);

    EmulatedBus bus;
    auto adapter = std::make_shared<EmulatedAdapter>();
    adapter->setRecord(screenshotRecord());
    adapter->setUsbTiming(true);
    bus.plug(adapter);
    // The backups the pictures show are the screenshots' own, not the user's.
    QTemporaryDir backups;
    Application application([&bus] { return std::make_unique<EmulatedBackend>(bus); }, backups.path());
    const QuestionAnswerer answerer(folder);
    MainWindow &window = application.mainWindow();
    FirmwareUpdateDialog &update = application.updateDialog();
    const auto action = [&window](const char *name) {
        return window.findChild<QAction *>(QLatin1String(name));
    };
    const auto connected = [&] {
        return application.adapter().connected() &&
               !window.findChild<QWidget *>(QStringLiteral("overlay"))->isVisible() &&
               window.findChild<QTableWidget *>(QStringLiteral("phoneBookList"))->rowCount() == kContactCount;
    };

    // The line status window, made before the adapter is found as the program makes it; its plot fills
    // at sixty times the real pace (ten minutes in ten seconds) while the signal rises and falls as a
    // hand moving the antenna makes it.
    QElapsedTimer pace;
    pace.start();
    const qint64 origin = QDateTime::currentMSecsSinceEpoch();
    LineStatusWindow lineStatus(application.adapter(), nullptr, [&] { return origin + pace.elapsed() * 60; });
    QTimer antenna;
    QObject::connect(&antenna, &QTimer::timeout, [&] {
        const double minutes = static_cast<double>(pace.elapsed()) / 1000.0;
        adapter->setSignalLevel(0, static_cast<std::int8_t>(std::lround(-72 + 9 * std::sin(minutes * 0.9))));
        adapter->setSignalLevel(1, static_cast<std::int8_t>(std::lround(-86 + 4 * std::sin(minutes * 2.1 + 1))));
    });
    antenna.start(200);
    window.show();
    if (!runUntil(connected)) {
        std::fprintf(stderr, "the demo adapter was not found\n");
        return 1;
    }
    // A phone-book row picked, as after a click: its party becomes line A's.
    window.findChild<QTableWidget *>(QStringLiteral("phoneBookList"))->selectRow(1);
    if (!save(window, folder, "main-window.png"))
        return 1;

    action("settingsAction")->trigger();
    if (!save(window, folder, "settings.png"))
        return 1;
    action("settingsAction")->trigger();

    lineStatus.show();
    runUntil([&] { return pace.elapsed() > 10'500; }, 15000);
    antenna.stop();
    if (!save(lineStatus, folder, "line-status.png"))
        return 1;
    lineStatus.hide();

    adapter->unplug();
    if (!runUntil([&] { return window.findChild<QWidget *>(QStringLiteral("overlay"))->isVisible(); }) ||
        !save(window, folder, "disconnected.png"))
        return 1;
    bus.plug(adapter);
    if (!runUntil(connected))
        return 1;

    // A phone-book entry deleted, as the user does, backs the record up first; the backups window
    // then shows what that first backup holds that the adapter no longer does.
    auto *phoneBook = window.findChild<QTableWidget *>(QStringLiteral("phoneBookList"));
    const PartyEntry next = adapter->state().record.contact[3];
    phoneBook->selectRow(2);
    QKeyEvent deleteKey(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(phoneBook, &deleteKey);
    if (!runUntil([&] {
            const PartyEntry now = adapter->state().record.contact[2];
            return std::memcmp(&now, &next, sizeof now) == 0;
        }))
        return 1;
    bool backupsSaved = false;
    QTimer::singleShot(0, &window, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->resize(720, 460);
        auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("backupList"));
        if (QTreeWidgetItem *adapterRow = list->topLevelItem(0))
            list->setCurrentItem(adapterRow->child(adapterRow->childCount() - 1));
        backupsSaved = save(*dialog, folder, "backups.png");
        dialog->accept();
    });
    action("backupsAction")->trigger();
    if (!backupsSaved)
        return 1;

    // The update window a good way into the demo's update file.
    QTemporaryDir files;
    const QString updateFile = files.filePath(QStringLiteral("VESTRA7-1.3.0.xupd"));
    const std::vector<std::uint8_t> content = demoUpdateFile();
    QFile out(updateFile);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(reinterpret_cast<const char *>(content.data()), static_cast<qint64>(content.size())) !=
            static_cast<qint64>(content.size()))
        return 1;
    out.close();
    UpdatePrompts prompts;
    prompts.chooseFile = [&updateFile](QFileDialog &) {
        return updateFile;
    };
    prompts.showMessage = [](QWidget *, QMessageBox::Icon, const QString &, const QString &) {
    };
    update.setPrompts(prompts);
    bool saved = false;
    auto *selectFile = update.findChild<QPushButton *>(QStringLiteral("selectFileButton"));
    auto *bar = update.findChild<CaptionedProgressBar *>(QStringLiteral("progressBar"));
    // Once the update window shows: with line B in a call, a question comes first, answered above.
    QTimer whenShown;
    QObject::connect(&whenShown, &QTimer::timeout, &window, [&] {
        if (!update.isVisible())
            return;
        whenShown.stop();
        if (runUntil([&] { return selectFile->isEnabled(); })) {
            selectFile->click();
            if (runUntil([&] { return bar->value() >= 62; })) {
                // Held where it is while the picture is taken: no chunk is acknowledged any more.
                adapter->withholdReply(CMD_FW_CHUNK);
                saved = save(update, folder, "firmware-update.png");
            }
        }
        update.findChild<QPushButton *>(QStringLiteral("closeButton"))->click();
    });
    whenShown.start(50);
    action("updateFirmwareAction")->trigger();
    application.adapter().shutdown();
    return saved && answerer.savedConfirmation ? 0 : 1;
}
