// SPDX-License-Identifier: GPL-3.0-or-later
// The commands without a window: finding the adapters, reaching each in turn, and each command's steps.
#include "app/tool_runner.h"

#include "app/interrupted_update.h"
#include "app/line_status_text.h"
#include "app/termination_signals.h"
#include "app/tool_progress.h"
#include "model/ansi_codec.h"
#include "model/checked_files.h"
#include "model/code_page_memory.h"
#include "model/config_file.h"
#include "model/file_name_bytes.h"
#include "model/firmware_version.h"
#include "model/import_check.h"
#include "model/import_preview.h"
#include "model/input_file.h"
#include "model/record_difference.h"
#include "model/update_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
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

// Why a file given to restore is taken for no configuration file, if it is: its size, as the window
// asks about it.
std::optional<QString> configFileSizeProblem(const QString &path, qint64 size)
{
    if (size == static_cast<qint64>(kRecordSize))
        return std::nullopt;
    return ToolRunner::tr("\"%1\" is not the size of a configuration file: its size is %2 bytes, a configuration "
                          "file's is %3 bytes.")
        .arg(path)
        .arg(size)
        .arg(kRecordSize);
}

QString entryList(const std::vector<int> &entries)
{
    QStringList numbers;
    for (const int entry : entries)
        numbers << QString::number(entry);
    return numbers.join(QStringLiteral(", "));
}

} // namespace

ToolRunner::ToolRunner(Adapter::BackendFactory makeBackend, ToolStreams streams, ToolTimeouts timeouts,
                       const QString &backupRoot)
    : m_streams(streams)
    , m_timeouts(timeouts)
    , m_adapter(std::move(makeBackend))
    , m_backups(m_adapter, backupRoot.isEmpty() ? BackupPolicy::defaultRoot() : backupRoot)
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
    FirmwareUpdatePort &updater = m_adapter.firmwareUpdate();
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

std::optional<ToolRunner::Outcome> ToolRunner::readInput(const ToolCommand &command)
{
    const QString &file = command.file;
    const QString forceHint = tr("Nothing was written; --force goes on all the same.");
    if (command.kind == ToolCommand::Kind::Restore) {
        const ConfigFileContent content = readConfigFile(file);
        if (content.error)
            return Outcome{ToolExit::Failed, *content.error, file};
        m_input = content.bytes;
        if (const std::optional<QString> problem = configFileSizeProblem(file, content.size); problem && !command.force)
            return Outcome{ToolExit::Failed, *problem + QLatin1Char(' ') + forceHint, file};
    } else if (command.kind == ToolCommand::Kind::Update) {
        InputFile input = readInputFile(file, InputKind::Update);
        if (input.error)
            return Outcome{ToolExit::Failed, *input.error, file};
        m_input = std::move(input.bytes);
        // What needs no adapter to tell is told before any adapter is touched.
        switch (updateFileFault(bytesOf(m_input), {})) {
        case UpdateFileFault::NoHeader:
            return Outcome{ToolExit::Failed, tr("\"%1\" is not an update file: it has no update header.").arg(file),
                           file};
        case UpdateFileFault::NoPayload:
            return Outcome{ToolExit::Failed,
                           tr("\"%1\" is an incorrect update file: it holds no firmware behind its header.").arg(file),
                           file};
        default:
            break;
        }
    } else if (command.kind == ToolCommand::Kind::ImportContacts) {
        if (const std::optional<QString> error = importPhoneBookFile(file, AnsiCodec::system(), m_import))
            return Outcome{ToolExit::Failed, *error, file};
        const ImportCheck check = checkImport(m_import.parties, AnsiCodec::system());
        // Storing no contacts would only empty the phone book: that is not what an import is for.
        if (check.empty)
            return Outcome{ToolExit::Failed, tr("\"%1\" holds no contacts. The phone book stays as it is.").arg(file),
                           file};
        if (!check.unreadable.empty() && !command.force)
            return Outcome{ToolExit::Failed,
                           tr("\"%1\" does not look like a phone book: entries %2 read as no contact.")
                                   .arg(file, entryList(check.unreadable)) +
                               QLatin1Char(' ') + forceHint,
                           file};
    }
    return std::nullopt;
}

ToolRunner::~ToolRunner()
{
    // An adapter's code page holds for its commands only, not for what the program does afterwards.
    if (!m_defaultCodePage.isEmpty())
        AnsiCodec::useCodePage(m_defaultCodePage.toLatin1().constData());
}

int ToolRunner::run(const ToolCommand &command)
{
    // Files are read before any adapter is touched, so a wrong name changes nothing.
    if (const std::optional<Outcome> refused = readInput(command)) {
        report(command, {}, *refused);
        return finish(command, refused->exit);
    }
    // Asked to end, the command stops waiting and says where it left the adapter.
    const TerminationSignals termination([this](int signal) {
        m_interruption = signal;
        emit adapterNews();
    });
    // A dry run writes nothing, not even the backup of an adapter seen for the first time.
    m_backups.setBackUpFirstSeen(!command.dryRun);

    m_defaultCodePage = AnsiCodec::systemCodePage();
    if (!command.codePage.isEmpty()) {
        // It holds for every adapter of the run, whatever code page each has remembered.
        AnsiCodec::useCodePage(command.codePage.toLatin1().constData());
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
        m_lastBackup.clear();
        Outcome outcome = runOn(command, target, file);
        // Watching ends with the user's Ctrl+C: that is how it is meant to end.
        if (m_interruption != 0 && !command.watch)
            outcome = interrupted(command, target, file);
        report(command, target, outcome);
        if (result == ToolExit::Done || (m_interruption != 0 && !command.watch))
            result = outcome.exit;
        if (m_interruption != 0)
            break;
    }
    return finish(command, result);
}

int ToolRunner::finish(const ToolCommand &command, ToolExit result)
{
    // What --watch printed were JSON lines, one per change; a summary would break them.
    if (command.json && !(command.watch && result == ToolExit::Done)) {
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
    // Each adapter's texts in the code page remembered for it, unless the command line names one.
    if (command.codePage.isEmpty()) {
        const QString remembered = rememberedCodePage(target.key);
        AnsiCodec::useCodePage((remembered.isEmpty() ? m_defaultCodePage : remembered).toLatin1().constData());
    }
    switch (command.kind) {
    case ToolCommand::Kind::Status:
        return status(command, target);
    case ToolCommand::Kind::Update:
        return update(command, target);
    case ToolCommand::Kind::ResetSettings:
        return resetSettings(command, target);
    default:
        break;
    }
    // Only the adapter's code page tells which characters would be lost; known before it is reached.
    if (command.kind == ToolCommand::Kind::ImportContacts && !command.force)
        if (const QString lost = checkImport(m_import.parties, AnsiCodec::system()).unencodable; !lost.isEmpty())
            return {ToolExit::Failed,
                    tr("The adapter's code page cannot hold these characters of \"%1\", which would be "
                       "stored as \"?\": %2")
                            .arg(file, lost) +
                        QLatin1Char(' ') + tr("Nothing was written; --force goes on all the same."),
                    file};
    if (std::optional<Outcome> failed = reach(target, true))
        return *failed;
    if (std::optional<Outcome> failed = readRecord())
        return *failed;
    AnsiCodec &codec = AnsiCodec::system();
    switch (command.kind) {
    case ToolCommand::Kind::Backup:
        if (command.dryRun)
            return {ToolExit::Done, tr("would save the record to %1").arg(file), file};
        if (writesToStandardOutput(command))
            return toStandardOutput(bytesOf(m_adapter.record()), tr("saved to standard output"));
        if (const std::optional<QString> error = saveConfigFile(file, m_adapter.record()))
            return {ToolExit::Failed, *error, file};
        return {ToolExit::Done, tr("saved to %1").arg(file), file};
    case ToolCommand::Kind::ExportContacts:
        if (command.dryRun)
            return {ToolExit::Done, tr("would save the phone book to %1").arg(file), file};
        if (writesToStandardOutput(command))
            return toStandardOutput(exportPhoneBook(m_adapter.record(), PhoneBookFormat::VCard, codec),
                                    tr("phone book saved to standard output"));
        if (const std::optional<QString> error = exportPhoneBookFile(file, m_adapter.record(), codec))
            return {ToolExit::Failed, *error, file};
        return {ToolExit::Done, tr("phone book saved to %1").arg(file), file};
    case ToolCommand::Kind::Restore:
        if (std::optional<Outcome> failed = backUpBefore(command, BackupStep::LoadFromFile))
            return *failed;
        if (command.dryRun)
            return {ToolExit::Done,
                    tr("would write %1 bytes of %2 over the record").arg(m_input.size()).arg(file) +
                        backupNote(command),
                    file};
        if (std::optional<Outcome> failed = writeRecord(m_input))
            return *failed;
        return {ToolExit::Done, tr("restored from %1").arg(file) + backupNote(command), file};
    case ToolCommand::Kind::ImportContacts: {
        if (std::optional<Outcome> failed = backUpBefore(command, BackupStep::ImportContacts))
            return *failed;
        const int stored = static_cast<int>(std::min<std::size_t>(m_import.parties.size(), kContactCount));
        if (command.dryRun)
            return {ToolExit::Done,
                    tr("would import %1 contacts from %2 in place of the phone book").arg(stored).arg(file) +
                        backupNote(command),
                    file};
        DeviceRecord next = m_adapter.record();
        applyImport(next, m_import.parties, codec);
        if (std::optional<Outcome> failed = writeRecord(bytesOf(next)))
            return *failed;
        const QString message =
            m_import.leftOut > 0
                ? tr("%1 contacts imported from %2, %3 left out").arg(stored).arg(file).arg(m_import.leftOut)
                : tr("%1 contacts imported from %2").arg(stored).arg(file);
        return {ToolExit::Done, message + backupNote(command), file};
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
    // The adapter is asked into its boot loader, and stays the one used while it restarts.
    m_adapter.firmwareUpdate().enterBootLoader();
    const bool entered =
        waitUntil([&] { return m_adapter.bootLoaderPresent() && m_adapter.identity().serial == target.serial; },
                  m_timeouts.restart);
    if (!entered) {
        m_adapter.firmwareUpdate().leaveBootLoader();
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
    // The message must reach the adapter before the program ends.
    m_adapter.firmwareUpdate().leaveBootLoader();
    return returnToFirmware(target);
}

std::optional<ToolRunner::Outcome> ToolRunner::backUpBefore(const ToolCommand &command, BackupStep step)
{
    const BackupAttempt attempt = command.dryRun ? m_backups.planBefore(step) : m_backups.backUpBefore(step);
    if (attempt.succeeded()) {
        m_lastBackup = attempt.path;
        return std::nullopt;
    }
    if (!command.noBackup)
        return Outcome{ToolExit::Failed,
                       tr("Cannot back up the adapter's record: %1 Nothing was written; --no-backup goes on without a "
                          "backup.")
                           .arg(attempt.problem),
                       {}};
    writeErr(tr("Going on without a backup: %1").arg(attempt.problem));
    return std::nullopt;
}

QString ToolRunner::backupNote(const ToolCommand &command) const
{
    if (m_lastBackup.isEmpty())
        return {};
    return command.dryRun ? tr(", after a backup into %1").arg(m_lastBackup)
                          : tr(" (backed up first to %1)").arg(m_lastBackup);
}

ToolRunner::Outcome ToolRunner::interrupted(const ToolCommand &command, const PresentAdapter &target,
                                            const QString &file) const
{
    const auto exit = static_cast<ToolExit>(128 + m_interruption);
    const bool inBootLoader = m_adapter.bootLoaderPresent() && m_adapter.identity().serial == target.serial;
    if (!inBootLoader)
        return {exit, tr("Interrupted."), file};
    if (command.kind == ToolCommand::Kind::Update)
        return {exit, interruptedUpdateText(target.serial, target.product), file};
    return {exit,
            tr("Interrupted: the adapter is left in its boot loader. Running the same command again brings it back."),
            file};
}

ToolRunner::Outcome ToolRunner::update(const ToolCommand &command, const PresentAdapter &target)
{
    const QString &file = command.file;
    if (std::optional<Outcome> failed = reach(target, false))
        return *failed;
    // An adapter met in its boot loader (an interrupted update) runs no version to compare and has
    // no record to keep: the update is its way back.
    QString from = tr("its boot loader");
    if (m_adapter.connected()) {
        const AdapterIdentity identity = m_adapter.identity();
        // The file has a header: one without was refused when it was read.
        const std::span<const std::uint8_t> headerText =
            updateHeaderText(bytesOf(m_input)).value_or(std::span<const std::uint8_t>());
        // Before the restart, so that a wrong file leaves the adapter running as it was.
        if (!updateFileNamesModel(bytesOf(m_input), identity.product))
            return {ToolExit::Failed,
                    tr("The update file is for a %1; the adapter is a %2.")
                        .arg(updateModelName(headerText).trimmed(), identity.product.trimmed()),
                    file};
        const QString version = updateVersion(headerText);
        const VersionOrder order = compareVersions(version, identity.version);
        if ((order == VersionOrder::Same || order == VersionOrder::Older) && !command.force)
            return {ToolExit::Failed,
                    tr("The update file holds version %1 and the adapter runs version %2: the file is not newer. "
                       "Nothing was written; --force installs it all the same.")
                        .arg(version, identity.version),
                    file};
        from = tr("version %1").arg(identity.version);
        if (std::optional<Outcome> failed = readRecord())
            return *failed;
        if (std::optional<Outcome> failed = backUpBefore(command, BackupStep::FirmwareUpdate))
            return *failed;
    }
    if (command.dryRun)
        return {ToolExit::Done, tr("would update from %1 with %2").arg(from, file) + backupNote(command), file};
    if (std::optional<Outcome> failed = enterBootLoader(target))
        return *failed;
    FirmwareUpdatePort &updater = m_adapter.firmwareUpdate();
    const std::optional<std::uint16_t> payloadOffset = checkUpdateFile(bytesOf(m_input), m_adapter.identity().product);
    if (!payloadOffset) {
        const QString product = m_adapter.identity().product;
        leaveBootLoader(target);
        return {ToolExit::Failed, tr("The update file is not meant for this adapter (%1).").arg(product), file};
    }

    ToolProgress progress(*m_streams.err, m_streams.terminal, target.serial);
    const QMetaObject::Connection shown =
        connect(&updater, &FirmwareUpdatePort::progressChanged, this,
                [&progress](std::uint64_t position, std::uint64_t size) { progress.show(position, size); });
    m_updateResult.reset();
    FirmwareImage image;
    image.load(m_input);
    image.setPosition(*payloadOffset);
    updater.transfer(std::move(image));
    // A chunk without an answer goes again; only an adapter that answers nothing for long stops it.
    bool answering = true;
    while (answering && !m_updateResult) {
        const std::uint64_t position = m_updatePosition;
        answering = waitUntil([&] { return m_updateResult || m_updatePosition != position; }, m_timeouts.restart);
    }
    disconnect(shown);
    progress.finish();
    // Interrupted, the adapter stays where it is: leaving would not start half an image anyway.
    if (m_interruption != 0)
        return {};
    if (!m_updateResult) {
        leaveBootLoader(target);
        return {ToolExit::Failed, tr("The adapter stopped answering during the update."), file};
    }
    if (*m_updateResult != FirmwareUpdatePort::Result::Success)
        return {ToolExit::Failed, tr("The update failed."), file};
    if (std::optional<Outcome> failed = returnToFirmware(target))
        return *failed;
    return {ToolExit::Done,
            tr("updated with %1, version %2").arg(file, m_adapter.identity().version) + backupNote(command), file};
}

ToolRunner::Outcome ToolRunner::resetSettings(const ToolCommand &command, const PresentAdapter &target)
{
    if (std::optional<Outcome> failed = reach(target, false))
        return *failed;
    // The record can be read, and so kept, only while the adapter runs its firmware.
    if (m_adapter.connected())
        if (std::optional<Outcome> failed = readRecord())
            return *failed;
    if (std::optional<Outcome> failed = backUpBefore(command, BackupStep::ResetSettings))
        return *failed;
    if (command.dryRun)
        return {
            ToolExit::Done, tr("would reset the settings, the phone book and the call list") + backupNote(command), {}};
    if (std::optional<Outcome> failed = enterBootLoader(target))
        return *failed;
    m_settingsReset = false;
    m_adapter.firmwareUpdate().resetSettings();
    const bool reset = waitUntil([this] { return m_settingsReset; }, m_timeouts.answer);
    if (m_interruption != 0)
        return {};
    // Out of the boot loader, whatever came of the reset.
    const std::optional<Outcome> stuck = leaveBootLoader(target);
    if (!reset)
        return {ToolExit::Failed, tr("The adapter did not confirm the reset."), {}};
    if (stuck)
        return *stuck;
    return {ToolExit::Done, tr("settings reset") + backupNote(command), {}};
}

ToolRunner::Outcome ToolRunner::status(const ToolCommand &command, const PresentAdapter &target)
{
    if (std::optional<Outcome> failed = reach(target, true))
        return *failed;
    if (std::optional<Outcome> failed = readRecord())
        return *failed;
    if (command.watch) {
        watchStatus(command, target);
        return {ToolExit::Done, {}, {}};
    }
    AnsiCodec &codec = AnsiCodec::system();
    const AdapterIdentity identity = m_adapter.identity();
    return {ToolExit::Done,
            tr("%1 %2").arg(identity.product, identity.version) + QLatin1Char('\n') +
                lineStatusBlock(m_adapter.record(), codec).chopped(1),
            {},
            lineStatusJson(m_adapter.record(), codec)};
}

void ToolRunner::watchStatus(const ToolCommand &command, const PresentAdapter &target)
{
    AnsiCodec &codec = AnsiCodec::system();
    const QString name = escaped(target.key.isEmpty() ? target.product : target.key);
    QString shown;
    const auto show = [&] {
        const DeviceRecord &record = m_adapter.record();
        const QString line = lineStatusLine(record, codec);
        if (line == shown)
            return;
        shown = line;
        const QString time = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
        if (command.json) {
            QJsonObject entry = lineStatusJson(record, codec);
            entry.insert(QStringLiteral("time"), time);
            entry.insert(QStringLiteral("key"), target.key);
            entry.insert(QStringLiteral("serial"), target.serial);
            writeOut(QString::fromUtf8(QJsonDocument(entry).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
        } else if (m_streams.outTerminal) {
            // Redrawn in place: the cursor back to the line's start, the old text cleared.
            writeOut(QStringLiteral("\r\x1b[K%1: %2").arg(name, line));
        } else {
            writeOut(QStringLiteral("%1 %2: %3\n").arg(time, name, line));
        }
    };
    show();
    QTimer tick;
    tick.start(std::chrono::seconds(command.intervalSeconds));
    const QMetaObject::Connection looked = connect(&tick, &QTimer::timeout, this, show);
    // Until the user ends it, or the adapter goes away.
    waitUntil([&] { return m_interruption != 0 || !m_adapter.connected(); }, std::chrono::hours(24 * 365));
    disconnect(looked);
    if (m_streams.outTerminal && !command.json)
        writeOut(QStringLiteral("\n"));
}

bool ToolRunner::waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout)
{
    if (condition())
        return true;
    if (m_interruption != 0)
        return false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &ToolRunner::adapterNews, &loop, [&] {
        if (condition() || m_interruption != 0)
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
        if (!m_lastBackup.isEmpty())
            entry.insert(command.dryRun ? QStringLiteral("backupFolder") : QStringLiteral("backup"), m_lastBackup);
        for (auto detail = outcome.details.begin(); detail != outcome.details.end(); ++detail)
            entry.insert(detail.key(), detail.value());
        // Watching printed its own lines.
        if (!command.watch || outcome.exit != ToolExit::Done)
            m_jsonResults.append(entry);
        return;
    }
    // Each line names its adapter by its key, or by product when it has none (no adapter at all).
    const QString name = escaped(target.key.isEmpty() ? target.product : target.key);
    const QString prefix = name.isEmpty() ? QString() : name + QStringLiteral(": ");
    // Standard output holds the file written there and nothing else.
    if (outcome.exit == ToolExit::Done && outcome.file == QLatin1String(kStandardOutputName))
        m_streams.err->write(fileNameBytes(prefix + outcome.message + QLatin1Char('\n')));
    else if (outcome.exit == ToolExit::Done && !outcome.message.isEmpty())
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
    ToolRunner runner(std::move(makeBackend), {&out, &err, isatty(fileno(stderr)) == 1, isatty(fileno(stdout)) == 1});
    return runner.run(command);
}
