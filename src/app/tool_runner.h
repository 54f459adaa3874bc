// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a command line's command on the adapters without a window, through the same Adapter the
// window uses: its discovery, its record writes and their confirmation, and its firmware updater.
#pragma once

#include "app/tool_command.h"
#include "link/adapter.h"
#include "link/backup_policy.h"
#include "model/phone_book_exchange.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>

#include <chrono>
#include <functional>
#include <optional>

class QIODevice;

// Where the command's words go: results to `out`, errors and progress to `err`.
struct ToolStreams
{
    QIODevice *out = nullptr;
    QIODevice *err = nullptr;
    bool terminal = false; // `err` is a terminal: the update's progress is a bar redrawn in place
    bool outTerminal = false; // `out` is a terminal: status --watch redraws its line in place
};

struct ToolTimeouts
{
    // For the first search, for an adapter to be reached once chosen, and for any answer of the
    // adapter: a record, the confirmation of a write, of a reset, of a chunk.
    std::chrono::milliseconds answer{5000};
    // For the adapter to restart into its boot loader or back into its firmware.
    std::chrono::milliseconds restart{30000};
};

class ToolRunner final : public QObject
{
    Q_OBJECT

public:
    // The backups go under `backupRoot`, by default where the window keeps them.
    ToolRunner(Adapter::BackendFactory makeBackend, ToolStreams streams, ToolTimeouts timeouts = {},
               const QString &backupRoot = {});
    ~ToolRunner() override;

    // Needs a QCoreApplication; returns the process's exit code.
    int run(const ToolCommand &command);

signals:
    // Something the waits look at may have changed.
    void adapterNews();

private:
    // The outcome on one adapter.
    struct Outcome
    {
        ToolExit exit = ToolExit::Done;
        QString message;
        QString file;
        QJsonObject details = {}; // more for --json: the lines of `status`
    };

    // Reads the command's file and refuses what no adapter is needed to refuse.
    std::optional<Outcome> readInput(const ToolCommand &command);
    int listAdapters(const ToolCommand &command);
    // Prints the results for --json; returns the exit code.
    int finish(const ToolCommand &command, ToolExit result);
    std::optional<PresentAdapter> defaultTarget() const;
    // The adapter with this key, as the last search found it.
    std::optional<PresentAdapter> present(const QString &key) const;
    // The adapters with this serial number (any when empty) in this USB port (any when empty).
    std::vector<PresentAdapter> matching(const QString &serial, const QString &port) const;
    Outcome runOn(const ToolCommand &command, const PresentAdapter &target, const QString &file);

    // The steps the commands are made of. Each returns nothing when it went well.
    // Writes a command's file to standard output; `done` is what is said when it all went out.
    Outcome toStandardOutput(const QByteArray &content, const QString &done);
    std::optional<Outcome> reach(const PresentAdapter &target, bool firmwareNeeded);
    std::optional<Outcome> readRecord();
    std::optional<Outcome> writeRecord(const QByteArray &bytes);
    std::optional<Outcome> enterBootLoader(const PresentAdapter &target);
    std::optional<Outcome> returnToFirmware(const PresentAdapter &target);
    std::optional<Outcome> leaveBootLoader(const PresentAdapter &target);
    // As the policy says before `step`; stops the command when no backup can be made, unless told
    // to go on without one.
    std::optional<Outcome> backUpBefore(const ToolCommand &command, BackupStep step);
    QString backupNote(const ToolCommand &command) const;
    // What a signal left behind on this adapter.
    Outcome interrupted(const ToolCommand &command, const PresentAdapter &target, const QString &file) const;
    Outcome update(const ToolCommand &command, const PresentAdapter &target);
    Outcome resetSettings(const ToolCommand &command, const PresentAdapter &target);
    Outcome status(const ToolCommand &command, const PresentAdapter &target);
    // Prints the lines again at each change until a signal asks the command to end.
    void watchStatus(const ToolCommand &command, const PresentAdapter &target);

    bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout);
    void report(const ToolCommand &command, const PresentAdapter &target, const Outcome &outcome);
    void writeOut(const QString &text);
    void writeErr(const QString &text);

    ToolStreams m_streams;
    ToolTimeouts m_timeouts;
    Adapter m_adapter;
    BackupPolicy m_backups;
    QString m_lastBackup;     // the backup taken (or, in a dry run, its folder) on the adapter at hand
    int m_interruption = 0;   // the signal that asked the command to end
    QByteArray m_input;       // the file read once for restore and update
    PhoneBookImport m_import; // the contacts read once for import-contacts
    // The code page of an adapter with none remembered: the locale's, or the one the program chose.
    QString m_defaultCodePage;
    QJsonArray m_jsonResults; // one object per adapter, for --json
    bool m_searched = false;
    int m_records = 0;
    QString m_sendFailure;
    bool m_settingsReset = false;
    std::optional<FirmwareUpdatePort::Result> m_updateResult;
    std::uint64_t m_updatePosition = 0;
};

// Runs the command over the devices `makeBackend` gives, writing to standard output and error.
int runToolCommand(const ToolCommand &command, Adapter::BackendFactory makeBackend);
