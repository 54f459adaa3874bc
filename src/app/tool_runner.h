// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a command line's command on the adapters without a window, through the same Adapter the
// window uses: its discovery, its record writes and their confirmation, and its firmware updater.
#pragma once

#include "app/tool_command.h"
#include "app/tool_input.h"
#include "app/tool_session.h"
#include "backups/backup_policy.h"
#include "link/adapter.h"

#include <QJsonArray>
#include <QObject>

#include <optional>

class QIODevice;

namespace vestra7 {

// Where the command's words go: results to `out`, errors and progress to `err`.
struct ToolStreams
{
    QIODevice *out = nullptr;
    QIODevice *err = nullptr;
    bool terminal = false;    // `err` is a terminal: the update's progress is a bar redrawn in place
    bool outTerminal = false; // `out` is a terminal: status --watch redraws its line in place
    int outHandle = -1;       // `out`'s file descriptor: status --watch asks it for the terminal's width
                              // and looks whether its reader has gone
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

private:
    // The adapters the command names, each once: keys tell apart adapters that share a serial number.
    Result<std::vector<PresentAdapter>, ToolOutcome> targets(const ToolCommand &command) const;
    std::optional<PresentAdapter> defaultTarget() const;
    // The adapters with this serial number (any when empty) in this USB port (any when empty).
    std::vector<PresentAdapter> matching(const QString &serial, const QString &port) const;
    ToolExit runEach(const ToolCommand &command, const std::vector<PresentAdapter> &targets);
    ToolExit runUpdate(const ToolCommand &command, const std::vector<PresentAdapter> &targets);
    // Prints the results for --json; returns the exit code.
    int finish(const ToolCommand &command, ToolExit result);

    ToolOutcome runOn(const ToolCommand &command, const PresentAdapter &target, const QString &file);
    ToolOutcome recordCommand(const ToolCommand &command, const QString &file);
    ToolOutcome importContacts(const ToolCommand &command, const QString &file);
    // Writes a command's file to standard output; `done` is what is said when it all went out.
    ToolOutcome toStandardOutput(const QByteArray &content, const QString &done);
    ToolStep backUpBefore(const ToolCommand &command, BackupStep step);
    QString backupNote(const ToolCommand &command) const;
    ToolOutcome resetSettings(const ToolCommand &command, const PresentAdapter &target);
    ToolOutcome status(const ToolCommand &command, const PresentAdapter &target);

    void report(const ToolCommand &command, const PresentAdapter &target, const ToolOutcome &outcome);
    void writeOut(const QString &text);
    void writeErr(const QString &text);

    Adapter::BackendFactory m_makeBackend;
    ToolStreams m_streams;
    ToolTimeouts m_timeouts;
    QString m_backupRoot;
    ToolWaiter m_waiter;
    Adapter m_adapter;
    ToolSession m_session;
    BackupPolicy m_backups;
    QString m_lastBackup; // the backup taken (or, in a dry run, its folder) on the adapter at hand
    ToolInput m_input;    // the file read once for restore, update and import-contacts
    // The code page of an adapter with none remembered: the locale's, or the one the program chose.
    QString m_defaultCodePage;
    QJsonArray m_jsonResults; // one object per adapter, for --json
};

// Runs the command over the devices `makeBackend` gives, writing to standard output and error.
int runToolCommand(const ToolCommand &command, Adapter::BackendFactory makeBackend);

} // namespace vestra7
