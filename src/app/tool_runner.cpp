// SPDX-License-Identifier: GPL-3.0-or-later
// The commands without a window: finding the adapters, reaching each in turn, and each command's steps.
#include "app/tool_runner.h"

#include "app/tool_progress.h"
#include "model/ansi_codec.h"
#include "model/checked_files.h"
#include "model/config_file.h"
#include "model/file_name_bytes.h"
#include "model/import_preview.h"
#include "model/input_file.h"
#include "model/record_difference.h"
#include "model/update_file.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

QString modeText(const PresentAdapter &adapter)
{
    return adapter.bootLoader ? ToolRunner::tr("boot loader") : ToolRunner::tr("normal");
}

// A device's own text with its control characters written out, so that it can neither forge a
// line of the list nor reach the terminal as an escape sequence: "\n", "\x1b".
QString escaped(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

std::span<const std::uint8_t> bytesOf(const QByteArray &content)
{
    return {reinterpret_cast<const std::uint8_t *>(content.constData()), static_cast<std::size_t>(content.size())};
}

QByteArray bytesOf(const DeviceRecord &record)
{
    return {reinterpret_cast<const char *>(record.bytes().data()), static_cast<qsizetype>(kRecordSize)};
}

} // namespace

ToolRunner::ToolRunner(Adapter::BackendFactory makeBackend, ToolStreams streams, ToolTimeouts timeouts)
    : m_streams(streams)
    , m_timeouts(timeouts)
    , m_adapter(std::move(makeBackend))
{
    const auto news = [this] {
        emit adapterNews();
    };
    connect(&m_adapter, &AdapterPort::presentAdaptersChanged, this, [this] {
        m_searched = true;
        emit adapterNews();
    });
    connect(&m_adapter, &AdapterPort::recordChanged, this, [this] {
        ++m_records;
        emit adapterNews();
    });
    connect(&m_adapter, &AdapterPort::sendFailed, this, [this](const QString &text) {
        m_sendFailure = text;
        emit adapterNews();
    });
    connect(&m_adapter, &AdapterPort::connectionChanged, this, news);
    connect(&m_adapter, &Adapter::bootLoaderChanged, this, news);
    FirmwareUpdater &updater = m_adapter.updater();
    connect(&updater, &FirmwareUpdatePort::settingsReset, this, [this] {
        m_settingsReset = true;
        emit adapterNews();
    });
    connect(&updater, &FirmwareUpdatePort::finished, this, [this](FirmwareUpdatePort::Result result) {
        m_updateResult = result;
        emit adapterNews();
    });
    connect(&updater, &FirmwareUpdatePort::progressChanged, this, [this](std::uint64_t position, std::uint64_t) {
        m_updatePosition = position;
        emit adapterNews();
    });
}

ToolRunner::~ToolRunner() = default;

int ToolRunner::run(const ToolCommand &command)
{
    // Files are read before any adapter is touched, so a wrong name changes nothing.
    if (command.kind == ToolCommand::Kind::Restore) {
        const ConfigFileContent content = readConfigFile(command.file);
        if (content.error) {
            writeErr(*content.error);
            return static_cast<int>(ToolExit::Failed);
        }
        m_input = content.bytes;
    } else if (command.kind == ToolCommand::Kind::Update) {
        InputFile file = readInputFile(command.file, InputKind::Update);
        if (file.error) {
            writeErr(*file.error);
            return static_cast<int>(ToolExit::Failed);
        }
        m_input = std::move(file.bytes);
    } else if (command.kind == ToolCommand::Kind::ImportContacts) {
        if (const std::optional<QString> error = importPhoneBookFile(command.file, AnsiCodec::system(), m_import)) {
            writeErr(*error);
            return static_cast<int>(ToolExit::Failed);
        }
    }

    m_adapter.start();
    // The first search has run once the adapters present are known, none included.
    waitUntil([this] { return m_searched; }, m_timeouts.answer);
    if (command.kind == ToolCommand::Kind::List)
        return listAdapters(command);

    // Each adapter once: keys tell apart adapters that share a serial number.
    std::vector<PresentAdapter> targets;
    if (command.all) {
        targets = m_adapter.presentAdapters();
    } else if (!command.serial.isEmpty() || !command.port.isEmpty()) {
        const std::vector<PresentAdapter> asked = matching(command.serial, command.port);
        if (asked.size() > 1) {
            QStringList ports;
            for (const PresentAdapter &adapter : asked)
                ports.append(adapter.port);
            report(command, {},
                   {ToolExit::Usage,
                    tr("%1 adapters have the serial number \"%2\"; choose one with --port: %3.")
                        .arg(asked.size())
                        .arg(command.serial, ports.join(QStringLiteral(", "))),
                    {}});
            return finish(command, ToolExit::Usage);
        }
        targets = asked;
    } else if (const std::optional<PresentAdapter> first = defaultTarget()) {
        targets.push_back(*first);
    }
    if (targets.empty()) {
        QString message = tr("No adapter found.");
        if (!command.port.isEmpty())
            message = tr("No adapter in the USB port \"%1\" found.").arg(command.port);
        else if (!command.serial.isEmpty())
            message = tr("No adapter with the serial number \"%1\" found.").arg(command.serial);
        report(command, {}, {ToolExit::NoAdapter, message, {}});
        return finish(command, ToolExit::NoAdapter);
    }

    ToolExit result = ToolExit::Done;
    QStringList files;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const PresentAdapter &target = targets[i];
        const QString file = command.all && writesFilePerAdapter(command.kind)
                                 ? fileForAdapter(command.file, target.key, static_cast<int>(i) + 1, files)
                                 : command.file;
        files.append(file);
        const Outcome outcome = runOn(command, target, file);
        report(command, target, outcome);
        if (result == ToolExit::Done)
            result = outcome.exit;
    }
    return finish(command, result);
}

int ToolRunner::finish(const ToolCommand &command, ToolExit result)
{
    if (command.json) {
        const QJsonObject summary{{QStringLiteral("command"), toolCommandName(command.kind)},
                                  {QStringLiteral("exitCode"), static_cast<int>(result)},
                                  {QStringLiteral("results"), m_jsonResults}};
        writeOut(QString::fromUtf8(QJsonDocument(summary).toJson()));
    }
    return static_cast<int>(result);
}

int ToolRunner::listAdapters(const ToolCommand &command)
{
    const std::vector<PresentAdapter> adapters = m_adapter.presentAdapters();
    if (command.json) {
        QJsonArray list;
        for (const PresentAdapter &adapter : adapters) {
            QJsonObject entry{{QStringLiteral("serial"), adapter.serial},
                              {QStringLiteral("port"), adapter.port},
                              {QStringLiteral("key"), adapter.key},
                              {QStringLiteral("product"), adapter.product},
                              {QStringLiteral("version"), adapter.version},
                              {QStringLiteral("mode"),
                               adapter.bootLoader ? QStringLiteral("boot loader") : QStringLiteral("normal")}};
            if (!adapter.accessError.isEmpty())
                entry.insert(QStringLiteral("accessError"), adapter.accessError);
            list.append(entry);
        }
        writeOut(QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("adapters"), list}}).toJson()));
    } else {
        for (const PresentAdapter &adapter : adapters)
            writeOut(QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                         .arg(escaped(adapter.serial), escaped(adapter.product), adapter.version, modeText(adapter),
                              escaped(adapter.port)));
    }
    if (adapters.empty()) {
        if (!command.json)
            writeErr(tr("No adapter found."));
        return static_cast<int>(ToolExit::NoAdapter);
    }
    return static_cast<int>(ToolExit::Done);
}

std::optional<PresentAdapter> ToolRunner::present(const QString &key) const
{
    const std::vector<PresentAdapter> adapters = m_adapter.presentAdapters();
    const auto found = std::find_if(adapters.begin(), adapters.end(),
                                    [&key](const PresentAdapter &adapter) { return adapter.key == key; });
    return found != adapters.end() ? std::optional(*found) : std::nullopt;
}

std::vector<PresentAdapter> ToolRunner::matching(const QString &serial, const QString &port) const
{
    std::vector<PresentAdapter> adapters = m_adapter.presentAdapters();
    std::erase_if(adapters, [&](const PresentAdapter &adapter) {
        return (!serial.isEmpty() && adapter.serial != serial) || (!port.isEmpty() && adapter.port != port);
    });
    return adapters;
}

std::optional<PresentAdapter> ToolRunner::defaultTarget() const
{
    // The adapter the window would use: the one the first search took, or else the first found,
    // which will tell why it could not be taken: its access, or the program that holds it.
    if (m_adapter.connected() || m_adapter.bootLoaderPresent())
        if (std::optional<PresentAdapter> claimed = present(m_adapter.identity().key))
            return claimed;
    const std::vector<PresentAdapter> adapters = m_adapter.presentAdapters();
    return adapters.empty() ? std::nullopt : std::optional(adapters.front());
}

ToolRunner::Outcome ToolRunner::runOn(const ToolCommand &command, const PresentAdapter &target, const QString &file)
{
    switch (command.kind) {
    case ToolCommand::Kind::Update:
        return update(target);
    case ToolCommand::Kind::ResetSettings:
        return resetSettings(target);
    default:
        break;
    }
    if (std::optional<Outcome> failed = reach(target, true))
        return *failed;
    if (std::optional<Outcome> failed = readRecord())
        return *failed;
    AnsiCodec &codec = AnsiCodec::system();
    switch (command.kind) {
    case ToolCommand::Kind::Backup:
        if (writesToStandardOutput(command))
            return toStandardOutput(bytesOf(m_adapter.record()), tr("saved to standard output"));
        if (const std::optional<QString> error = saveConfigFile(file, m_adapter.record()))
            return {ToolExit::Failed, *error, file};
        return {ToolExit::Done, tr("saved to %1").arg(file), file};
    case ToolCommand::Kind::ExportContacts:
        if (writesToStandardOutput(command))
            return toStandardOutput(exportPhoneBook(m_adapter.record(), PhoneBookFormat::VCard, codec),
                                    tr("phone book saved to standard output"));
        if (const std::optional<QString> error = exportPhoneBookFile(file, m_adapter.record(), codec))
            return {ToolExit::Failed, *error, file};
        return {ToolExit::Done, tr("phone book saved to %1").arg(file), file};
    case ToolCommand::Kind::Restore:
        if (std::optional<Outcome> failed = writeRecord(m_input))
            return *failed;
        return {ToolExit::Done, tr("restored from %1").arg(file), file};
    case ToolCommand::Kind::ImportContacts: {
        DeviceRecord next = m_adapter.record();
        applyImport(next, m_import.parties, codec);
        if (std::optional<Outcome> failed = writeRecord(bytesOf(next)))
            return *failed;
        const int stored = static_cast<int>(std::min<std::size_t>(m_import.parties.size(), kContactCount));
        const QString message =
            m_import.leftOut > 0
                ? tr("%1 contacts imported from %2, %3 left out").arg(stored).arg(file).arg(m_import.leftOut)
                : tr("%1 contacts imported from %2").arg(stored).arg(file);
        return {ToolExit::Done, message, file};
    }
    default:
        return {ToolExit::Failed, {}, file};
    }
}

ToolRunner::Outcome ToolRunner::toStandardOutput(const QByteArray &content, const QString &done)
{
    const QString file = QLatin1String(kStandardOutputName);
    if (m_streams.out->write(content) != content.size())
        return {ToolExit::Failed, tr("Cannot write to standard output. %1").arg(m_streams.out->errorString()), file};
    return {ToolExit::Done, done, file};
}

std::optional<ToolRunner::Outcome> ToolRunner::reach(const PresentAdapter &target, bool firmwareNeeded)
{
    m_adapter.chooseAdapter(target.key);
    const auto reached = [this, &target] {
        return m_adapter.identity().key == target.key && (m_adapter.connected() || m_adapter.bootLoaderPresent());
    };
    if (!reached()) {
        // The search that the choice ran has tried to lock and to open it.
        if (!m_adapter.inUseBy().isEmpty() && m_adapter.inUseKey() == target.key)
            return Outcome{ToolExit::InUse, m_adapter.inUseBy(), {}};
        const std::optional<PresentAdapter> now = present(target.key);
        if (now && !now->accessError.isEmpty())
            return Outcome{ToolExit::AccessDenied, tr("Cannot open the adapter: %1").arg(now->accessError), {}};
        if (!waitUntil(reached, m_timeouts.answer))
            return Outcome{ToolExit::Failed, tr("The adapter could not be reached."), {}};
    }
    if (firmwareNeeded && !m_adapter.connected())
        return Outcome{ToolExit::Failed, tr("The adapter runs its boot loader; update its firmware first."), {}};
    return std::nullopt;
}

std::optional<ToolRunner::Outcome> ToolRunner::readRecord()
{
    // A record of the adapter used before may still be announced; the one wanted comes after it.
    QCoreApplication::processEvents();
    const int seen = m_records;
    if (!waitUntil([&] { return m_records > seen; }, m_timeouts.answer))
        return Outcome{ToolExit::Failed, tr("The adapter did not send its record."), {}};
    return std::nullopt;
}

std::optional<ToolRunner::Outcome> ToolRunner::writeRecord(const QByteArray &bytes)
{
    m_sendFailure.clear();
    m_adapter.loadConfiguration(bytes);
    const DeviceRecord written = m_adapter.record();
    const int seen = m_records;
    // The adapter confirms the write once its reply holds what was written.
    bool answered = false;
    const QMetaObject::Connection answer =
        connect(&m_adapter, &Adapter::writeConfirmed, this, [&answered] { answered = true; });
    const auto confirmed = [&] {
        return m_records > seen && answered &&
               recordDifferences(written, m_adapter.record(), AnsiCodec::system()).empty();
    };
    waitUntil([&] { return confirmed() || !m_sendFailure.isEmpty(); }, m_timeouts.answer);
    disconnect(answer);
    if (!m_sendFailure.isEmpty())
        return Outcome{ToolExit::Failed, m_sendFailure, {}};
    if (!confirmed())
        return Outcome{ToolExit::Failed, tr("The adapter did not confirm the write."), {}};
    return std::nullopt;
}

std::optional<ToolRunner::Outcome> ToolRunner::enterBootLoader(const PresentAdapter &target)
{
    // As with the update window shown: the adapter is asked into its boot loader, and stays the one
    // used while it restarts.
    m_adapter.updater().windowShown();
    const bool entered =
        waitUntil([&] { return m_adapter.bootLoaderPresent() && m_adapter.identity().serial == target.serial; },
                  m_timeouts.restart);
    if (!entered) {
        m_adapter.updater().windowHidden();
        return Outcome{ToolExit::Failed, tr("The adapter did not restart into its boot loader."), {}};
    }
    return std::nullopt;
}

std::optional<ToolRunner::Outcome> ToolRunner::returnToFirmware(const PresentAdapter &target)
{
    const bool back = waitUntil(
        [&] {
            const std::optional<PresentAdapter> now = present(target.key);
            return now && !now->bootLoader;
        },
        m_timeouts.restart);
    if (!back)
        return Outcome{ToolExit::Failed, tr("The adapter did not come back from its boot loader."), {}};
    return reach(target, true);
}

std::optional<ToolRunner::Outcome> ToolRunner::leaveBootLoader(const PresentAdapter &target)
{
    // As "Close" in the update window; the message must reach the adapter before the program ends.
    m_adapter.updater().leave();
    m_adapter.updater().windowHidden();
    return returnToFirmware(target);
}

ToolRunner::Outcome ToolRunner::update(const PresentAdapter &target)
{
    if (std::optional<Outcome> failed = reach(target, false))
        return *failed;
    if (std::optional<Outcome> failed = enterBootLoader(target))
        return *failed;
    FirmwareUpdater &updater = m_adapter.updater();
    const std::optional<std::uint16_t> payloadOffset = checkUpdateFile(bytesOf(m_input), m_adapter.identity().product);
    if (!payloadOffset) {
        const QString product = m_adapter.identity().product;
        leaveBootLoader(target);
        return {ToolExit::Failed, tr("The update file is not meant for this adapter (%1).").arg(product), {}};
    }

    ToolProgress progress(*m_streams.err, m_streams.terminal, target.serial);
    const QMetaObject::Connection shown =
        connect(&updater, &FirmwareUpdatePort::progressChanged, this,
                [&progress](std::uint64_t position, std::uint64_t size) { progress.show(position, size); });
    m_updateResult.reset();
    updater.beginSelection();
    updater.startTransfer(m_input, *payloadOffset);
    // A chunk without an answer goes again; only an adapter that answers nothing for long stops it.
    bool answering = true;
    while (answering && !m_updateResult) {
        const std::uint64_t position = m_updatePosition;
        answering = waitUntil([&] { return m_updateResult || m_updatePosition != position; }, m_timeouts.restart);
    }
    disconnect(shown);
    progress.finish();
    if (!m_updateResult) {
        leaveBootLoader(target);
        return {ToolExit::Failed, tr("The adapter stopped answering during the update."), {}};
    }
    updater.windowHidden();
    if (*m_updateResult != FirmwareUpdatePort::Result::Success)
        return {ToolExit::Failed, tr("The update failed."), {}};
    if (std::optional<Outcome> failed = returnToFirmware(target))
        return *failed;
    return {ToolExit::Done, tr("updated, version %1").arg(m_adapter.identity().version), {}};
}

ToolRunner::Outcome ToolRunner::resetSettings(const PresentAdapter &target)
{
    if (std::optional<Outcome> failed = reach(target, false))
        return *failed;
    if (std::optional<Outcome> failed = enterBootLoader(target))
        return *failed;
    m_settingsReset = false;
    m_adapter.updater().resetSettings();
    const bool reset = waitUntil([this] { return m_settingsReset; }, m_timeouts.answer);
    // Out of the boot loader, whatever came of the reset.
    const std::optional<Outcome> stuck = leaveBootLoader(target);
    if (!reset)
        return {ToolExit::Failed, tr("The adapter did not confirm the reset."), {}};
    if (stuck)
        return *stuck;
    return {ToolExit::Done, tr("settings reset"), {}};
}

bool ToolRunner::waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout)
{
    if (condition())
        return true;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &ToolRunner::adapterNews, &loop, [&] {
        if (condition())
            loop.quit();
    });
    deadline.start(timeout);
    loop.exec();
    return condition();
}

void ToolRunner::report(const ToolCommand &command, const PresentAdapter &target, const Outcome &outcome)
{
    if (command.json) {
        QJsonObject entry{{QStringLiteral("serial"), target.serial},
                          {QStringLiteral("port"), target.port},
                          {QStringLiteral("product"), target.product},
                          {QStringLiteral("exitCode"), static_cast<int>(outcome.exit)},
                          {QStringLiteral("message"), outcome.message}};
        if (!outcome.file.isEmpty())
            entry.insert(QStringLiteral("file"), outcome.file);
        m_jsonResults.append(entry);
        return;
    }
    // Each line names its adapter by its key, or by product when it has none (no adapter at all).
    const QString name = escaped(target.key.isEmpty() ? target.product : target.key);
    const QString prefix = name.isEmpty() ? QString() : name + QStringLiteral(": ");
    // Standard output holds the file written there and nothing else.
    if (outcome.exit == ToolExit::Done && outcome.file == QLatin1String(kStandardOutputName))
        m_streams.err->write(fileNameBytes(prefix + outcome.message + QLatin1Char('\n')));
    else if (outcome.exit == ToolExit::Done)
        writeOut(prefix + outcome.message + QLatin1Char('\n'));
    else
        writeErr(prefix + outcome.message);
}

void ToolRunner::writeOut(const QString &text)
{
    // A file name that is not UTF-8 is shown with the bytes it was given in.
    m_streams.out->write(fileNameBytes(text));
}

void ToolRunner::writeErr(const QString &text)
{
    m_streams.err->write(fileNameBytes(QStringLiteral("vestra7: %1\n").arg(text)));
}

int runToolCommand(const ToolCommand &command, Adapter::BackendFactory makeBackend)
{
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    ToolRunner runner(std::move(makeBackend), {&out, &err, isatty(fileno(stderr)) == 1});
    return runner.run(command);
}
