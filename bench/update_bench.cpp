// SPDX-License-Identifier: GPL-3.0-or-later
// Firmware update speed: the program moves images of 64 KiB and 256 KiB into the emulated adapter
// (USB timing model on) and the time is set against the protocol's own limit; `update --all` moves a
// 100 KiB image into 1, 2, 4 and 8 adapters at once, and each time is set against that of one.
#include "bench_table.h"

#include "app/application.h"
#include "app/tool_runner.h"
#include "link/adapter.h"
#include "link/commands.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "ui/backup_keeper.h"
#include "ui/firmware_update_dialog.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <optional>

using namespace vestra7;

namespace {

// The protocol's limit: a chunk takes ten output reports and its acknowledgement one input report, at
// one report per millisecond each way, and the next chunk waits for the acknowledgement.
constexpr double kChunkLimitMs = 11;
constexpr double kEndLimitMs = 2; // command 250 out, its result in
// What the program is to reach: the next chunk leaves as soon as an acknowledgement is in, so only the
// hand-overs between the threads stand between it and the limit.
constexpr double kTargetShare = 0.95;
constexpr std::chrono::seconds kTimeout{120};

bool runUntil(const std::function<bool()> &condition)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(10);
    while (!condition()) {
        if (clock.elapsed() > std::chrono::milliseconds(kTimeout).count())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

QString writeImage(const QTemporaryDir &dir, std::size_t payloadSize)
{
    const QByteArray header("MODEL=VESTRA7 &VERSION=2.0");
    const auto payloadOffset = static_cast<std::uint16_t>(4 + header.size() + 1);
    QByteArray file;
    file.append(static_cast<char>(payloadOffset & 0xFFu));
    file.append(static_cast<char>(payloadOffset >> 8));
    file.append(2, '\0');
    file.append(header);
    file.append('\0');
    for (std::size_t i = 0; i < payloadSize; ++i)
        file.append(static_cast<char>(i * 131 % 251));
    QFile out(dir.filePath(QStringLiteral("bench.xupd")));
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
        return {};
    return out.fileName();
}

struct UpdateRun
{
    double fromClickMs = 0;
    double steadyMs = 0; // from the first acknowledgement to the result
    std::size_t chunks = 0;
    bool success = false;
};

std::optional<UpdateRun> updateOnce(std::size_t payloadSize)
{
    QTemporaryDir dir;
    const QString path = writeImage(dir, payloadSize);
    if (path.isEmpty())
        return std::nullopt;

    EmulatedBus bus;
    auto adapter = std::make_shared<EmulatedAdapter>();
    adapter->setUsbTiming(true);
    adapter->enterBootLoader();
    bus.plug(adapter);

    Application program([&bus] { return std::make_unique<EmulatedBackend>(bus); },
                        dir.filePath(QStringLiteral("backups")));
    // An adapter met in its boot loader has no record to back up; the update goes on without one.
    program.backupKeeper().setConfirmer([](QWidget *, const QString &) { return true; });
    Adapter &link = program.adapter();
    FirmwareUpdater &updater = link.updater();
    FirmwareUpdateDialog &dialog = program.updateDialog();
    auto *selectFile = dialog.findChild<QPushButton *>(QStringLiteral("selectFileButton"));
    QString message;
    UpdatePrompts prompts;
    prompts.chooseFile = [&path](QFileDialog &) {
        return path;
    };
    prompts.showMessage = [&message](QWidget *, QMessageBox::Icon, const QString &text, const QString &) {
        message = text;
    };
    prompts.confirm = [](QWidget *, const QString &, bool) {
        return true;
    };
    dialog.setPrompts(prompts);

    QElapsedTimer clock;
    std::optional<qint64> firstAck;
    std::optional<qint64> resultAt;
    // Timed as the updater hears of the first acknowledgement and of the result.
    QObject::connect(&updater, &FirmwareUpdatePort::progressChanged, [&] {
        if (!firstAck)
            firstAck = clock.nsecsElapsed();
    });
    QObject::connect(&updater, &FirmwareUpdatePort::finished, [&] { resultAt = clock.nsecsElapsed(); });
    // The main window's first showing starts the link.
    program.mainWindow().show();
    if (!runUntil([&] { return link.connected() || link.bootLoaderPresent(); }))
        return std::nullopt;
    dialog.show();
    if (!selectFile->isEnabled())
        return std::nullopt;

    clock.start();
    selectFile->click();
    const bool finished = runUntil([&] { return !message.isEmpty(); });
    link.shutdown();
    if (!finished || !firstAck || !resultAt)
        return std::nullopt;

    UpdateRun result;
    result.chunks = (payloadSize + kFirmwareChunkSize - 1) / kFirmwareChunkSize;
    result.fromClickMs = static_cast<double>(*resultAt) / 1e6;
    result.steadyMs = static_cast<double>(*resultAt - *firstAck) / 1e6;
    result.success = message == QStringLiteral("Update success!") &&
                     adapter->state().image.size() == result.chunks * kFirmwareChunkSize;
    return result;
}

// Seconds for `update --all` of a 100 KiB image into `count` adapters, each one's whole update (into
// its boot loader, the transfer, back into its firmware) included; none when one failed.
std::optional<double> updateAllSeconds(int count)
{
    QTemporaryDir dir;
    const QString path = writeImage(dir, 100 * 1024);
    if (path.isEmpty())
        return std::nullopt;
    EmulatedBus bus;
    std::vector<std::shared_ptr<EmulatedAdapter>> adapters;
    for (int i = 0; i < count; ++i) {
        auto adapter = std::make_shared<EmulatedAdapter>(
            EmulatedIdentity::withSerialNumber(QStringLiteral("V7-BENCH-%1").arg(i + 1)));
        adapter->setUsbTiming(true);
        bus.plug(adapter);
        adapters.push_back(adapter);
    }
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    ToolRunner runner([&bus] { return std::make_unique<EmulatedBackend>(bus); }, {&out, &err, false}, {},
                      dir.filePath(QStringLiteral("backups")));
    ToolCommand command;
    command.kind = ToolCommand::Kind::Update;
    command.file = path;
    command.all = true;
    QElapsedTimer clock;
    clock.start();
    const int exitCode = runner.run(command);
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    if (exitCode != 0 || out.data().count("updated") != count) {
        std::fprintf(stderr, "%s", err.data().constData());
        return std::nullopt;
    }
    return seconds;
}

// The fleet's rows: each count's time against that of one adapter.
int benchUpdateAll()
{
    // Four adapters are to take no more than this against one.
    constexpr double kFourTarget = 1.3;
    std::optional<double> one;
    int status = 0;
    for (const int count : {1, 2, 4, 8}) {
        const std::optional<double> seconds = updateAllSeconds(count);
        const std::string figure = "update --all, 100 KiB image, " + std::to_string(count) + " adapters (emulated bus)";
        if (!seconds || (count > 1 && !one)) {
            tableRow(figure, "failed", "");
            status = 1;
            continue;
        }
        if (count == 1)
            one = seconds;
        const double share = *seconds / *one;
        tableRow(figure, formatted("%.2f s", *seconds) + formatted(", %.2f× one", share),
                 count == 4 ? formatted("within %.1f× one", kFourTarget) : "");
        if (count == 4 && share > kFourTarget)
            status = 1;
    }
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    int status = 0;
    for (const std::size_t kib : {64u, 256u}) {
        const std::size_t payloadSize = kib * 1024;
        const std::optional<UpdateRun> result = updateOnce(payloadSize);
        const std::string figure = "Firmware update, " + std::to_string(kib) + " KiB image (emulated bus)";
        if (!result || !result->success) {
            tableRow(figure, "failed", "");
            status = 1;
            continue;
        }
        // The span from the first acknowledgement holds every chunk but the first, and the end.
        const double limitMs = static_cast<double>(result->chunks - 1) * kChunkLimitMs + kEndLimitMs;
        const double perChunkMs = (result->steadyMs - kEndLimitMs) / static_cast<double>(result->chunks - 1);
        const double kibPerSecond = static_cast<double>(kFirmwareChunkSize) / 1024.0 / (perChunkMs / 1000.0);
        tableRow(figure,
                 formatted("%.1f KiB/s", kibPerSecond) + formatted(" (%.2f ms per chunk): ", perChunkMs) +
                     formatted("%.1f %% of the limit", 100.0 * limitMs / result->steadyMs),
                 formatted("at least %.0f %% ", 100.0 * kTargetShare) +
                     formatted("of %.1f KiB/s",
                               static_cast<double>(kFirmwareChunkSize) / 1024.0 / (kChunkLimitMs / 1000.0)) +
                     formatted(" (%.2f ms per chunk)", kChunkLimitMs / kTargetShare));
    }
    return benchUpdateAll() != 0 ? 1 : status;
}
