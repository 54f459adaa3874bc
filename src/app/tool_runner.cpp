// SPDX-License-Identifier: GPL-3.0-or-later
// The commands without a window: finding the adapters, reaching each in turn, and the commands on
// one adapter's record.
#include "app/tool_runner.h"

#include "app/termination_signals.h"
#include "app/tool_backup.h"
#include "app/tool_list.h"
#include "app/tool_status.h"
#include "app/tool_text.h"
#include "app/tool_update.h"
#include "model/ansi_codec.h"
#include "model/backup_step.h"
#include "model/byte_span.h"
#include "model/code_page_memory.h"
#include "model/config_file.h"
#include "model/file_name_bytes.h"
#include "model/import_check.h"
#include "model/import_preview.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <unistd.h>

namespace vestra7 {

ToolRunner::ToolRunner(Adapter::BackendFactory makeBackend, ToolStreams streams, ToolTimeouts timeouts,
                       const QString &backupRoot)
    : m_makeBackend(makeBackend)
    , m_streams(streams)
    , m_timeouts(timeouts)
    , m_backupRoot(backupRoot.isEmpty() ? BackupPolicy::defaultRoot() : backupRoot)
    , m_adapter(std::move(makeBackend))
    , m_session(m_adapter, m_waiter, timeouts)
    , m_backups(m_adapter, m_backupRoot)
{
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
    Result<ToolInput, ToolOutcome> input = readToolInput(command);
    if (!input) {
        report(command, {}, input.error());
        return finish(command, input.error().exit);
    }
    m_input = std::move(*input);
    // Asked to end, the command stops waiting and says where it left the adapter.
    const TerminationSignals termination([this](int signal) { m_waiter.interrupt(signal); });
    // A dry run writes nothing, not even the backup of an adapter seen for the first time.
    m_backups.setBackUpFirstSeen(!command.dryRun);

    m_defaultCodePage = AnsiCodec::systemCodePage();
    if (!command.codePage.isEmpty()) {
        // It holds for every adapter of the run, whatever code page each has remembered.
        AnsiCodec::useCodePage(command.codePage.toLatin1().constData());
    }
    // Listing looks at the adapters without taking one, so it asks no holder to hand one over.
    if (command.kind == ToolCommand::Kind::List)
        m_adapter.claimNothing();
    m_adapter.start();
    // The first search has run once the adapters present are known, none included.
    m_waiter.waitUntil([this] { return m_session.searched(); }, m_timeouts.answer);
    if (command.kind == ToolCommand::Kind::List)
        return listAdapters(m_adapter.presentAdapters(), command.json, *m_streams.out, *m_streams.err);

    const Result<std::vector<PresentAdapter>, ToolOutcome> chosen = targets(command);
    if (!chosen) {
        report(command, {}, chosen.error());
        return finish(command, chosen.error().exit);
    }
    if (command.kind == ToolCommand::Kind::Update)
        return finish(command, runUpdate(command, *chosen));
    return finish(command, runEach(command, *chosen));
}

Result<std::vector<PresentAdapter>, ToolOutcome> ToolRunner::targets(const ToolCommand &command) const
{
    std::vector<PresentAdapter> targets;
    if (command.all) {
        targets = m_adapter.presentAdapters();
    } else if (!command.serial.isEmpty() || !command.port.isEmpty()) {
        targets = matching(command.serial, command.port);
        if (targets.size() > 1) {
            QStringList ports;
            for (const PresentAdapter &adapter : targets)
                ports.append(adapter.port);
            return ToolOutcome{ToolExit::Usage,
                               tr("%1 adapters have the serial number \"%2\"; choose one with --port: %3.")
                                   .arg(targets.size())
                                   .arg(command.serial, ports.join(QStringLiteral(", "))),
                               {}};
        }
    } else if (const std::optional<PresentAdapter> first = defaultTarget()) {
        targets.push_back(*first);
    }
    if (!targets.empty())
        return targets;
    QString message = tr("No adapter found.");
    if (!command.port.isEmpty())
        message = tr("No adapter in the USB port \"%1\" found.").arg(command.port);
    else if (!command.serial.isEmpty())
        message = tr("No adapter with the serial number \"%1\" found.").arg(command.serial);
    return ToolOutcome{ToolExit::NoAdapter, message, {}};
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
        if (std::optional<PresentAdapter> claimed = m_session.present(m_adapter.identity().key))
            return claimed;
    const std::vector<PresentAdapter> adapters = m_adapter.presentAdapters();
    return adapters.empty() ? std::nullopt : std::optional(adapters.front());
}

ToolExit ToolRunner::runEach(const ToolCommand &command, const std::vector<PresentAdapter> &targets)
{
    ToolExit result = ToolExit::Done;
    QStringList files;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const PresentAdapter &target = targets[i];
        const QString file = command.all && writesFilePerAdapter(command.kind)
                                 ? fileForAdapter(command.file, target.key, static_cast<int>(i) + 1, files)
                                 : command.file;
        files.append(file);
        m_lastBackup.clear();
        ToolOutcome outcome = runOn(command, target, file);
        const int interruption = m_waiter.interruption();
        // Watching ends with the user's Ctrl+C: that is how it is meant to end.
        if (interruption != 0 && !command.watch)
            outcome = interruptedOutcome(command, target, m_session.inBootLoader(target), interruption, file);
        outcome.backup = m_lastBackup;
        report(command, target, outcome);
        if (result == ToolExit::Done || (interruption != 0 && !command.watch))
            result = outcome.exit;
        if (interruption != 0)
            break;
    }
    return result;
}

ToolExit ToolRunner::runUpdate(const ToolCommand &command, const std::vector<PresentAdapter> &targets)
{
    // Each adapter gets an Adapter of its own: this one lets go of the one it took in the search.
    m_adapter.shutdown();
    ToolUpdate update(
        command, m_input.bytes, m_waiter,
        {m_makeBackend, m_timeouts, m_backupRoot, m_streams.err, m_streams.terminal, m_backups.seenAdapters()});
    const std::vector<std::optional<ToolOutcome>> outcomes = update.run(targets);
    ToolExit result = ToolExit::Done;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (!outcomes[i])
            continue;
        report(command, targets[i], *outcomes[i]);
        // The first failure in the order of the list stands, unless a signal ended the command.
        if (result == ToolExit::Done || m_waiter.interruption() != 0)
            result = outcomes[i]->exit;
    }
    return result;
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

ToolOutcome ToolRunner::runOn(const ToolCommand &command, const PresentAdapter &target, const QString &file)
{
    // Each adapter's texts in the code page remembered for it, unless the command line names one.
    if (command.codePage.isEmpty()) {
        const QString remembered = rememberedCodePage(target.key);
        AnsiCodec::useCodePage((remembered.isEmpty() ? m_defaultCodePage : remembered).toLatin1().constData());
    }
    switch (command.kind) {
    case ToolCommand::Kind::Status:
        return status(command, target);
    case ToolCommand::Kind::ResetSettings:
        return resetSettings(command, target);
    default:
        break;
    }
    // Only the adapter's code page tells which characters would be lost; known before it is reached.
    if (command.kind == ToolCommand::Kind::ImportContacts && !command.force)
        if (const QString lost = checkImport(m_input.contacts.parties, AnsiCodec::system()).unencodable;
            !lost.isEmpty())
            return {ToolExit::Failed,
                    tr("The adapter's code page cannot hold these characters of \"%1\", which would be "
                       "stored as \"?\": %2")
                            .arg(file, lost) +
                        QLatin1Char(' ') + tr("Nothing was written; --force goes on all the same."),
                    file};
    if (ToolStep reached = m_session.reach(target, true); !reached)
        return reached.error();
    if (ToolStep read = m_session.readRecord(); !read)
        return read.error();
    return recordCommand(command, file);
}

ToolOutcome ToolRunner::recordCommand(const ToolCommand &command, const QString &file)
{
    AnsiCodec &codec = AnsiCodec::system();
    switch (command.kind) {
    case ToolCommand::Kind::Backup:
        if (command.dryRun)
            return {ToolExit::Done, tr("would save the record to %1").arg(file), file};
        if (writesToStandardOutput(command))
            return toStandardOutput(toByteArray(m_adapter.record().bytes()), tr("saved to standard output"));
        if (const Result<void> saved = saveConfigFile(file, m_adapter.record()); !saved)
            return {ToolExit::Failed, saved.error().message, file};
        return {ToolExit::Done, tr("saved to %1").arg(file), file};
    case ToolCommand::Kind::ExportContacts:
        if (command.dryRun)
            return {ToolExit::Done, tr("would save the phone book to %1").arg(file), file};
        if (writesToStandardOutput(command))
            return toStandardOutput(exportPhoneBook(m_adapter.record(), PhoneBookFormat::VCard, codec),
                                    tr("phone book saved to standard output"));
        if (const Result<void> saved = exportPhoneBookFile(file, m_adapter.record(), codec); !saved)
            return {ToolExit::Failed, saved.error().message, file};
        return {ToolExit::Done, tr("phone book saved to %1").arg(file), file};
    case ToolCommand::Kind::Restore:
        if (ToolStep backedUp = backUpBefore(command, BackupStep::LoadFromFile); !backedUp)
            return backedUp.error();
        if (command.dryRun)
            return {ToolExit::Done,
                    tr("would write %1 bytes of %2 over the record").arg(m_input.bytes.size()).arg(file) +
                        backupNote(command),
                    file};
        if (ToolStep written = m_session.writeRecord(m_input.bytes); !written)
            return written.error();
        return {ToolExit::Done, tr("restored from %1").arg(file) + backupNote(command), file};
    case ToolCommand::Kind::ImportContacts:
        return importContacts(command, file);
    default:
        return {ToolExit::Failed, {}, file};
    }
}

ToolOutcome ToolRunner::importContacts(const ToolCommand &command, const QString &file)
{
    if (ToolStep backedUp = backUpBefore(command, BackupStep::ImportContacts); !backedUp)
        return backedUp.error();
    const PhoneBookImport &contacts = m_input.contacts;
    const int stored = static_cast<int>(std::min<std::size_t>(contacts.parties.size(), kContactCount));
    if (command.dryRun)
        return {ToolExit::Done,
                tr("would import %1 contacts from %2 in place of the phone book").arg(stored).arg(file) +
                    backupNote(command),
                file};
    DeviceRecord next = m_adapter.record();
    applyImport(next, contacts.parties, AnsiCodec::system());
    if (ToolStep written = m_session.writeRecord(toByteArray(next.bytes())); !written)
        return written.error();
    const QString message =
        contacts.leftOut > 0
            ? tr("%1 contacts imported from %2, %3 left out").arg(stored).arg(file).arg(contacts.leftOut)
            : tr("%1 contacts imported from %2").arg(stored).arg(file);
    return {ToolExit::Done, message + backupNote(command), file};
}

ToolOutcome ToolRunner::toStandardOutput(const QByteArray &content, const QString &done)
{
    const QString file = QLatin1String(kStandardOutputName);
    if (m_streams.out->write(content) != content.size())
        return {ToolExit::Failed, tr("Cannot write to standard output. %1").arg(m_streams.out->errorString()), file};
    return {ToolExit::Done, done, file};
}

ToolStep ToolRunner::backUpBefore(const ToolCommand &command, BackupStep step)
{
    Result<QString, ToolOutcome> backup = commandBackup(m_backups, command, step, *m_streams.err);
    if (!backup)
        return backup.error();
    m_lastBackup = *backup;
    return {};
}

QString ToolRunner::backupNote(const ToolCommand &command) const
{
    return backupNoteText(command, m_lastBackup);
}

ToolOutcome ToolRunner::resetSettings(const ToolCommand &command, const PresentAdapter &target)
{
    if (ToolStep reached = m_session.reach(target, false); !reached)
        return reached.error();
    // The record can be read, and so kept, only while the adapter runs its firmware.
    if (m_adapter.connected())
        if (ToolStep read = m_session.readRecord(); !read)
            return read.error();
    if (ToolStep backedUp = backUpBefore(command, BackupStep::ResetSettings); !backedUp)
        return backedUp.error();
    if (command.dryRun)
        return {
            ToolExit::Done, tr("would reset the settings, the phone book and the call list") + backupNote(command), {}};
    if (ToolStep entered = m_session.enterBootLoader(target); !entered)
        return entered.error();
    const bool reset = m_session.resetSettings();
    if (m_waiter.interruption() != 0)
        return {};
    // Out of the boot loader, whatever came of the reset.
    const ToolStep left = m_session.leaveBootLoader(target);
    if (!reset)
        return {ToolExit::Failed, tr("The adapter did not confirm the reset."), {}};
    if (!left)
        return left.error();
    return {ToolExit::Done, tr("settings reset") + backupNote(command), {}};
}

ToolOutcome ToolRunner::status(const ToolCommand &command, const PresentAdapter &target)
{
    if (ToolStep reached = m_session.reach(target, true); !reached)
        return reached.error();
    if (ToolStep read = m_session.readRecord(); !read)
        return read.error();
    if (command.watch) {
        // Asked to end, or left by its reader, watching has done what it was for.
        if (watchStatus(command, target, m_adapter, m_waiter, *m_streams.out,
                        {m_streams.outHandle, m_streams.outTerminal}) == WatchEnd::AdapterGone)
            return {ToolExit::Failed, tr("The adapter is no longer connected."), {}};
        return {ToolExit::Done, {}, {}};
    }
    return statusOutcome(m_adapter);
}

void ToolRunner::report(const ToolCommand &command, const PresentAdapter &target, const ToolOutcome &outcome)
{
    if (command.json) {
        QJsonObject entry{{QStringLiteral("serial"), target.serial},
                          {QStringLiteral("port"), target.port},
                          {QStringLiteral("product"), target.product},
                          {QStringLiteral("exitCode"), static_cast<int>(outcome.exit)},
                          {QStringLiteral("message"), outcome.message}};
        if (!outcome.file.isEmpty())
            entry.insert(QStringLiteral("file"), outcome.file);
        if (!outcome.backup.isEmpty())
            entry.insert(command.dryRun ? QStringLiteral("backupFolder") : QStringLiteral("backup"), outcome.backup);
        for (auto detail = outcome.details.begin(); detail != outcome.details.end(); ++detail)
            entry.insert(detail.key(), detail.value());
        // Watching printed its own lines.
        if (!command.watch || outcome.exit != ToolExit::Done)
            m_jsonResults.append(entry);
        return;
    }
    // Each line names its adapter by its key, or by product when it has none (no adapter at all).
    const QString name = target.key.isEmpty() ? target.product : target.key;
    const QString prefix = name.isEmpty() ? QString() : name + QStringLiteral(": ");
    // Outside texts in it (a holder's command line, a device's words, a file name) are escaped here.
    const QString line =
        outcome.printable ? escapedDeviceText(prefix) + outcome.message : escapedDeviceText(prefix + outcome.message);
    // Standard output holds the file written there and nothing else.
    if (outcome.exit == ToolExit::Done && outcome.file == QLatin1String(kStandardOutputName))
        m_streams.err->write(fileNameBytes(line + QLatin1Char('\n')));
    else if (outcome.exit == ToolExit::Done && !outcome.message.isEmpty())
        writeOut(line + QLatin1Char('\n'));
    else if (outcome.exit != ToolExit::Done)
        writeErr(prefix + outcome.message);
}

void ToolRunner::writeOut(const QString &text)
{
    // A file name that is not UTF-8 is shown with the bytes it was given in.
    m_streams.out->write(fileNameBytes(text));
}

void ToolRunner::writeErr(const QString &text)
{
    writeToolError(*m_streams.err, text);
}

int runToolCommand(const ToolCommand &command, Adapter::BackendFactory makeBackend)
{
    // Written straight to the descriptors, so that what a watching command prints reaches a pipe at once.
    QFile out;
    QFile err;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    ToolRunner runner(std::move(makeBackend),
                      {&out, &err, isatty(STDERR_FILENO) == 1, isatty(STDOUT_FILENO) == 1, STDOUT_FILENO});
    return runner.run(command);
}

} // namespace vestra7
