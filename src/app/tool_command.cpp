// SPDX-License-Identifier: GPL-3.0-or-later
// The names of the commands, the files they write per adapter, and their help.
#include "app/tool_command.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <array>
#include <utility>

namespace vestra7 {

namespace {

constexpr std::array kNames = {
    std::pair{ToolCommand::Kind::List, "list"},
    std::pair{ToolCommand::Kind::Backup, "backup"},
    std::pair{ToolCommand::Kind::Restore, "restore"},
    std::pair{ToolCommand::Kind::Update, "update"},
    std::pair{ToolCommand::Kind::ResetSettings, "reset-settings"},
    std::pair{ToolCommand::Kind::ExportContacts, "export-contacts"},
    std::pair{ToolCommand::Kind::ImportContacts, "import-contacts"},
    std::pair{ToolCommand::Kind::Status, "status"},
    std::pair{ToolCommand::Kind::Exporter, "exporter"},
};

// The commands' help, a text for each command and paragraph, so that a change to one command's help
// leaves the translations of the others alone.
constexpr const char *kHelpParts[] = {
    QT_TRANSLATE_NOOP("ToolCommand", "\nCommands (run without a window; without one the window opens):\n"),
    QT_TRANSLATE_NOOP(
        "ToolCommand",
        "  list                  Every adapter: serial number, product, version, normal or boot loader.\n"),
    QT_TRANSLATE_NOOP(
        "ToolCommand",
        "  backup FILE           Save the adapter's record to a configuration file; - for standard output.\n"),
    QT_TRANSLATE_NOOP("ToolCommand", "  restore FILE          Write a configuration file to the adapter.\n"),
    QT_TRANSLATE_NOOP("ToolCommand", "  update FILE.xupd      Replace the adapter's firmware from an update file.\n"),
    QT_TRANSLATE_NOOP(
        "ToolCommand",
        "  reset-settings        Reset the adapter's settings, as the update window's \"Reset settings\".\n"),
    QT_TRANSLATE_NOOP("ToolCommand",
                      "  export-contacts FILE  Save the phone book: CSV for a name ending in .csv, vCards otherwise\n"
                      "                        (- writes vCards to standard output).\n"),
    QT_TRANSLATE_NOOP("ToolCommand",
                      "  import-contacts FILE  Replace the phone book with the contacts of a vCard or CSV file.\n"),
    QT_TRANSLATE_NOOP(
        "ToolCommand",
        "  status                Each line's state, SIM, signal, operator and USSD, as the adapter reports\n"
        "                        them; with --watch again at every change until interrupted (Ctrl+C).\n"),
    QT_TRANSLATE_NOOP(
        "ToolCommand",
        "\nWith --all, backup and export-contacts write one file per adapter, the serial number put before\n"
        "the extension: backup.cfg becomes backup-V7-2041-000117.cfg; adapters that share a serial number\n"
        "or have none are told apart by their USB port: backup-DUP@1-2.cfg. restore, import-contacts and\n"
        "update use the same file for every adapter. - (standard output) goes with neither --all nor --json.\n"),
    QT_TRANSLATE_NOOP(
        "ToolCommand",
        "\nrestore, import-contacts, reset-settings and update back the adapter's record up first, as the\n"
        "window does; if that backup cannot be written they stop, unless --no-backup is given. They refuse,\n"
        "unless --force is given: a configuration file that is not 1789 bytes long, a phone-book file with\n"
        "entries that read as no contact or with characters the adapter's code page cannot hold, an\n"
        "update file with the same or an older version than the adapter runs. A phone-book file without\n"
        "contacts and an update file for another model or without firmware are always refused.\n"
        "--dry-run says what would be written and backed up, and writes nothing.\n"),
    QT_TRANSLATE_NOOP(
        "ToolCommand",
        "\nExit codes:\n"
        "  0  done\n"
        "  1  failed\n"
        "  2  usage error\n"
        "  3  no adapter, or none with the serial number asked for\n"
        "  4  access denied: the adapter cannot be opened\n"
        "  5  the adapter is in use by another program, which is named\n"
        "  130, 143  interrupted by SIGINT or SIGTERM (an update says which adapter it left in its boot loader)\n"
        "With --all the code is that of the first adapter that did not succeed.\n"),
};

bool fitsFileName(QChar c)
{
    return (c.unicode() < 128 && c.isLetterOrNumber()) || c == QLatin1Char('-') || c == QLatin1Char('.') ||
           c == QLatin1Char('_') || c == QLatin1Char('@');
}

} // namespace

std::optional<ToolCommand::Kind> toolCommandKind(const QString &name)
{
    for (const auto &[kind, text] : kNames)
        if (name == QLatin1String(text))
            return kind;
    return std::nullopt;
}

QString toolCommandName(ToolCommand::Kind kind)
{
    for (const auto &[known, text] : kNames)
        if (known == kind)
            return QLatin1String(text);
    return {};
}

bool takesFile(ToolCommand::Kind kind)
{
    return kind != ToolCommand::Kind::List && kind != ToolCommand::Kind::ResetSettings &&
           kind != ToolCommand::Kind::Status && kind != ToolCommand::Kind::Exporter;
}

bool writesFilePerAdapter(ToolCommand::Kind kind)
{
    return kind == ToolCommand::Kind::Backup || kind == ToolCommand::Kind::ExportContacts;
}

QString fileForAdapter(const QString &file, const QString &key, int place, const QStringList &taken)
{
    QString tag = key;
    for (QChar &c : tag)
        if (!fitsFileName(c))
            c = QLatin1Char('_');
    const qsizetype nameStart = file.size() - QFileInfo(file).fileName().size();
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    // A dot that starts the name ("~/.backup") is part of the name, not an extension.
    const qsizetype extension = dot > nameStart ? dot : file.size();
    QString named = file.left(extension) + QLatin1Char('-') + tag + file.mid(extension);
    while (taken.contains(named)) {
        tag += QStringLiteral("-%1").arg(place);
        named = file.left(extension) + QLatin1Char('-') + tag + file.mid(extension);
    }
    return named;
}

bool writesToStandardOutput(const ToolCommand &command)
{
    return writesFilePerAdapter(command.kind) && command.file == QLatin1String(kStandardOutputName);
}

QString toolCommandsHelp()
{
    QString help;
    for (const char *part : kHelpParts)
        help += QCoreApplication::translate("ToolCommand", part);
    return help;
}

} // namespace vestra7
