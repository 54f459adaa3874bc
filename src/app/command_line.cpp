// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the command line.
#include "app/command_line.h"

#include "app/exporter_options.h"

#include "link/hidapi_backend.h"
#include "model/ansi_codec.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace {

// What the words after the options ask for; false, with `why`, when they make no sense.
bool readTool(const QStringList &words, CommandLine &command, QString &why)
{
    ToolCommand &tool = command.tool;
    const std::optional<ToolCommand::Kind> kind = toolCommandKind(words.front());
    if (!kind) {
        why = QCoreApplication::translate("CommandLine", "Unknown command '%1'.").arg(words.front());
        return false;
    }
    tool.kind = *kind;
    const qsizetype expected = takesFile(tool.kind) ? 2 : 1;
    if (words.size() < expected) {
        why = QCoreApplication::translate("CommandLine", "The command '%1' needs a file.").arg(words.front());
        return false;
    }
    if (words.size() > expected) {
        why = QCoreApplication::translate("CommandLine", "Unknown argument '%1'.").arg(words[expected]);
        return false;
    }
    if (expected == 2)
        tool.file = words[1];
    // Standard output carries one adapter's file and nothing else.
    if (writesToStandardOutput(tool) && (tool.all || tool.json)) {
        why = QCoreApplication::translate("CommandLine", "Standard output (-) goes with neither --all nor --json.");
        return false;
    }
    if (tool.all && !tool.serial.isEmpty()) {
        why = QCoreApplication::translate("CommandLine", "--serial and --all cannot go together.");
        return false;
    }
    if (tool.all && !tool.port.isEmpty()) {
        why = QCoreApplication::translate("CommandLine", "--port and --all cannot go together.");
        return false;
    }
    if (tool.kind == ToolCommand::Kind::List && !tool.port.isEmpty()) {
        why = QCoreApplication::translate("CommandLine", "The command 'list' shows every adapter and takes no --port.");
        return false;
    }
    if (tool.kind == ToolCommand::Kind::List && (tool.all || !tool.serial.isEmpty())) {
        why = QCoreApplication::translate(
            "CommandLine", "The command 'list' shows every adapter and takes neither --serial nor --all.");
        return false;
    }
    if (tool.watch && (tool.kind != ToolCommand::Kind::Status || tool.all)) {
        why = QCoreApplication::translate("CommandLine",
                                          "--watch goes with the command 'status' on one adapter, not with --all.");
        return false;
    }
    if (const std::optional<QString> problem = exporterUsageProblem(tool)) {
        why = *problem;
        return false;
    }
    command.action = CommandLine::Action::RunTool;
    return true;
}

} // namespace

QString versionText()
{
    return QCoreApplication::translate("CommandLine", "vestra7 %1\nQt %2 (built with %3)\nhidapi %4\n")
        .arg(QStringLiteral(VESTRA7_VERSION), QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR),
             hidapiVersion());
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine", "Configures and controls a VESTRA7 two-line cellular voice adapter on USB."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption verbose(
        QStringLiteral("verbose"),
        QCoreApplication::translate("CommandLine",
                                    "Log what the program does (categories vestra7.*) to standard error."));
    // The value's name is the one the description names in angle brackets.
    const QCommandLineOption trace(
        QStringLiteral("trace"),
        QCoreApplication::translate("CommandLine",
                                    "Write every report to and from the adapter, with its time, to <file>."),
        QCoreApplication::translate("CommandLine", "file"));
    const QCommandLineOption serial(
        QStringLiteral("serial"),
        QCoreApplication::translate("CommandLine",
                                    "Run the command on the adapter with this serial number; without it, on the "
                                    "adapter the window would use."),
        QStringLiteral("serial"));
    const QCommandLineOption port(
        QStringLiteral("port"),
        QCoreApplication::translate("CommandLine",
                                    "Run the command on the adapter in this USB port (as 'list' shows it, "
                                    "such as 1-1.2): for adapters that share a serial number or have none."),
        QStringLiteral("path"));
    const QCommandLineOption all(
        QStringLiteral("all"),
        QCoreApplication::translate("CommandLine", "Run the command on every adapter, one after another."));
    const QCommandLineOption json(
        QStringLiteral("json"),
        QCoreApplication::translate("CommandLine", "Print the adapters and the results as JSON."));
    const QCommandLineOption force(
        QStringLiteral("force"),
        QCoreApplication::translate("CommandLine",
                                    "Go on with a file the command would refuse: a configuration file of another "
                                    "size, contacts that look wrong or lose characters, an update that is no newer."));
    const QCommandLineOption noBackup(
        QStringLiteral("no-backup"),
        QCoreApplication::translate("CommandLine",
                                    "Go on when the adapter's record cannot be backed up before it is replaced."));
    const QCommandLineOption dryRun(
        QStringLiteral("dry-run"),
        QCoreApplication::translate("CommandLine", "Say what would be written and backed up, and write nothing."));
    const QCommandLineOption watch(
        QStringLiteral("watch"),
        QCoreApplication::translate("CommandLine", "status: print again at every change until interrupted."));
    const QCommandLineOption interval(
        QStringLiteral("interval"),
        QCoreApplication::translate("CommandLine", "status --watch: look every <seconds> (1 unless given)."),
        QCoreApplication::translate("CommandLine", "seconds"));
    const QCommandLineOption codePage(
        QStringLiteral("code-page"),
        QCoreApplication::translate("CommandLine", "Read and write the adapter's texts in this code page: %1. "
                                                   "Without it, the one remembered for the adapter, else the one the "
                                                   "locale's language uses.")
            .arg(ansiCodePageNames().join(QStringLiteral(", "))),
        QCoreApplication::translate("CommandLine", "name"));
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QCoreApplication::translate("CommandLine", "Where the exporter listens (default 127.0.0.1:%1).")
            .arg(kExporterDefaultPort),
        QStringLiteral("address:port"));
    parser.addOption(verbose);
    parser.addOption(trace);
    parser.addOption(serial);
    parser.addOption(port);
    parser.addOption(all);
    parser.addOption(json);
    parser.addOption(force);
    parser.addOption(noBackup);
    parser.addOption(dryRun);
    parser.addOption(watch);
    parser.addOption(interval);
    parser.addOption(listen);
    parser.addOption(codePage);
    parser.addPositionalArgument(
        QStringLiteral("command"),
        QCoreApplication::translate("CommandLine", "A command to run without the window (see below)."),
        QStringLiteral("[command [file]]"));

    CommandLine command;
    if (!parser.parse(arguments)) {
        command.action = CommandLine::Action::Refuse;
        command.text = parser.errorText();
        return command;
    }
    if (parser.isSet(help)) {
        // The usage line names the program by its file's name. The parser writes "<executable_name>"
        // there without an application object, and the application's first argument as it came
        // ("./vestra7") with one.
        const QString name = arguments.isEmpty() ? QStringLiteral("vestra7") : QFileInfo(arguments.front()).fileName();
        const QStringList applicationArguments =
            QCoreApplication::instance() ? QCoreApplication::arguments() : QStringList();
        const QString written =
            applicationArguments.isEmpty() ? QStringLiteral("<executable_name>") : applicationArguments.front();
        command.action = CommandLine::Action::ShowHelp;
        command.text = parser.helpText();
        const qsizetype at = command.text.indexOf(written);
        if (at >= 0)
            command.text.replace(at, written.size(), name);
        command.text += toolCommandsHelp() + exporterHelp();
        return command;
    }
    if (parser.isSet(version)) {
        command.action = CommandLine::Action::ShowVersion;
        command.text = versionText();
        return command;
    }
    command.verbose = parser.isSet(verbose);
    command.tracePath = parser.value(trace);
    command.tool.serial = parser.value(serial);
    command.tool.port = parser.value(port);
    command.tool.all = parser.isSet(all);
    command.tool.json = parser.isSet(json);
    command.tool.force = parser.isSet(force);
    command.tool.noBackup = parser.isSet(noBackup);
    command.tool.dryRun = parser.isSet(dryRun);
    command.tool.watch = parser.isSet(watch);
    command.tool.codePage = parser.value(codePage);
    if (!command.tool.codePage.isEmpty() && !ansiCodePageNames().contains(command.tool.codePage)) {
        command.action = CommandLine::Action::Refuse;
        command.text = QCoreApplication::translate("CommandLine", "Unknown code page '%1'; known are %2.")
                           .arg(command.tool.codePage, ansiCodePageNames().join(QStringLiteral(", ")));
        return command;
    }
    if (parser.isSet(interval)) {
        bool number = false;
        command.tool.intervalSeconds = parser.value(interval).toInt(&number);
        if (!number || command.tool.intervalSeconds < 1 || command.tool.intervalSeconds > 3600) {
            command.action = CommandLine::Action::Refuse;
            command.text =
                QCoreApplication::translate("CommandLine", "--interval needs a whole number of seconds, 1 to 3600.");
            return command;
        }
    }
    command.tool.listen = parser.value(listen);
    const QStringList words = parser.positionalArguments();
    if (words.isEmpty()) {
        if (parser.isSet(serial) || parser.isSet(port) || command.tool.all || command.tool.json || command.tool.force ||
            command.tool.noBackup || command.tool.dryRun || parser.isSet(listen) || parser.isSet(codePage)) {
            command.action = CommandLine::Action::Refuse;
            command.text = QCoreApplication::translate(
                "CommandLine", "--serial, --port, --all, --json, --force, --no-backup, --dry-run, "
                               "--listen and --code-page go with a command.");
        }
        return command;
    }
    if (parser.isSet(serial) && command.tool.serial.isEmpty()) {
        command.action = CommandLine::Action::Refuse;
        command.text = QCoreApplication::translate("CommandLine", "--serial needs a serial number.");
        return command;
    }
    if (parser.isSet(port) && command.tool.port.isEmpty()) {
        command.action = CommandLine::Action::Refuse;
        command.text = QCoreApplication::translate("CommandLine", "--port needs a USB port path.");
        return command;
    }
    QString why;
    if (!readTool(words, command, why)) {
        command.action = CommandLine::Action::Refuse;
        command.text = why;
    }
    return command;
}
