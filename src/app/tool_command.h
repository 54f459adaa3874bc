// SPDX-License-Identifier: GPL-3.0-or-later
// A command run without a window: what it asks for, and how the process ends.
#pragma once

#include <QString>

#include <optional>

namespace vestra7 {

enum class ToolExit : int {
    Done = 0,
    Failed = 1,
    Usage = 2,
    NoAdapter = 3,    // none plugged in, or none with the serial number asked for
    AccessDenied = 4, // the adapter is there but this user may not open it
    InUse = 5,        // another program holds the adapter
    // Ended by a signal, as a shell reports it: 128 and the signal's number.
    HungUp = 129,
    Interrupted = 130,
    Terminated = 143,
};

struct ToolCommand
{
    enum class Kind { List, Backup, Restore, Update, ResetSettings, ExportContacts, ImportContacts, Status, Exporter };

    Kind kind = Kind::List;
    QString file;   // empty for the commands that take none
    QString serial; // the adapter asked for; empty for the one the window would use
    bool all = false;
    bool json = false;
    QString port = {};                  // the USB port of the adapter asked for; empty for any
    bool force = false;                 // goes on where a file or a version looks wrong
    bool noBackup = false;              // goes on where the adapter's record cannot be backed up first
    bool dryRun = false;                // says what would be written and backed up, and writes nothing
    bool watch = false;                 // status: goes on printing each change until interrupted
    int intervalSeconds = 1;            // status --watch: how often it looks
    QString codePage = {};              // the adapter's texts' code page; empty for the locale's
    std::optional<QString> listen = {}; // the exporter's ADDRESS:PORT as given; none for its default
};

// The file name that stands for standard output, for the commands that write one file.
inline constexpr char kStandardOutputName[] = "-";
bool writesToStandardOutput(const ToolCommand &command);

// The command for its name on the command line ("export-contacts"), or none.
std::optional<ToolCommand::Kind> toolCommandKind(const QString &name);
QString toolCommandName(ToolCommand::Kind kind);
bool takesFile(ToolCommand::Kind kind);
// Whether the command writes a file per adapter, named by fileForAdapter() when run on all of them.
bool writesFilePerAdapter(ToolCommand::Kind kind);

// The file of one adapter among several: its key inserted before the extension (the part from the
// last dot of the name), "backup.cfg" giving "backup-V7-2041-000117.cfg". Characters that do not
// belong in a file name become "_"; a name already given to another adapter (keys "a/b" and "a_b")
// gets the adapter's place in the list, from 1, added: "backup-a_b-2.cfg".
QString fileForAdapter(const QString &file, const QString &key, int place, const QStringList &taken);

// The commands and the exit codes, as --help shows them after the options' summary.
QString toolCommandsHelp();

} // namespace vestra7
