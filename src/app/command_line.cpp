// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the command line.
#include "app/command_line.h"

#include "app/exporter_options.h"

#include "link/hidapi_backend.h"
#include "model/ansi_codec.h"
#include "model/result.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace vestra7 {

namespace {

QString codePageNames()
{
    return ansiCodePageNames().join(QStringLiteral(", "));
}

QString exporterDefaultPort()
{
    return QString::number(kExporterDefaultPort);
}

// An option as --help lists it. The value's name is the one the description names in angle
// brackets; a name that is what the user types ("serial", "address:port") stays as it is.
struct OptionText
{
    const char *name;
    const char *description;
    const char *valueName = nullptr;            // translated
    const char *literalValueName = nullptr;     // shown as it is
    QString (*descriptionArgument)() = nullptr; // what stands for the description's "%1"
};

// In the order --help lists them.
const OptionText kOptions[] = {
    {"verbose",
     QT_TRANSLATE_NOOP("CommandLine", "Log what the program does (categories vestra7.*) to standard error.")},
    {"trace", QT_TRANSLATE_NOOP("CommandLine", "Write every report to and from the adapter, with its time, to <file>."),
     QT_TRANSLATE_NOOP("CommandLine", "file")},
    {"serial",
     QT_TRANSLATE_NOOP("CommandLine", "Run the command on the adapter with this serial number; without it, on the "
                                      "adapter the window would use."),
     nullptr, "serial"},
    {"port",
     QT_TRANSLATE_NOOP("CommandLine", "Run the command on the adapter in this USB port (as 'list' shows it, "
                                      "such as 1-1.2): for adapters that share a serial number or have none."),
     nullptr, "path"},
    {"all",
     QT_TRANSLATE_NOOP("CommandLine", "Run the command on every adapter, one after another; update on all at once.")},
    {"json", QT_TRANSLATE_NOOP("CommandLine", "Print the adapters and the results as JSON.")},
    {"force", QT_TRANSLATE_NOOP("CommandLine",
                                "Go on with a file the command would refuse: a configuration file of another "
                                "size, contacts that look wrong or lose characters, an update that is no newer.")},
    {"no-backup",
     QT_TRANSLATE_NOOP("CommandLine", "Go on when the adapter's record cannot be backed up before it is replaced.")},
    {"dry-run", QT_TRANSLATE_NOOP("CommandLine", "Say what would be written and backed up, and write nothing.")},
    {"watch", QT_TRANSLATE_NOOP("CommandLine", "status: print again at every change until interrupted.")},
    {"interval", QT_TRANSLATE_NOOP("CommandLine", "status --watch: look every <seconds> (1 unless given)."),
     QT_TRANSLATE_NOOP("CommandLine", "seconds")},
    {"listen", QT_TRANSLATE_NOOP("CommandLine", "Where the exporter listens (default 127.0.0.1:%1)."), nullptr,
     "host:port", &exporterDefaultPort},
    {"code-page",
     QT_TRANSLATE_NOOP("CommandLine", "Read and write the adapter's texts in this code page: %1. "
                                      "Without it, the one remembered for the adapter, else the one the "
                                      "locale's language uses."),
     QT_TRANSLATE_NOOP("CommandLine", "name"), nullptr, &codePageNames},
};

QString translated(const char *text)
{
    return QCoreApplication::translate("CommandLine", text);
}

QCommandLineOption optionFor(const OptionText &text)
{
    QString description = translated(text.description);
    if (text.descriptionArgument)
        description = description.arg(text.descriptionArgument());
    const QString valueName = text.valueName          ? translated(text.valueName)
                              : text.literalValueName ? QString::fromLatin1(text.literalValueName)
                                                      : QString();
    return {QString::fromLatin1(text.name), description, valueName};
}

CommandLine refused(const QString &why)
{
    CommandLine command;
    command.action = CommandLine::Action::Refuse;
    command.text = why;
    return command;
}

// The usage line names the program by its file's name. The parser writes "<executable_name>" there
// without an application object, and the application's first argument as it came ("./vestra7")
// with one.
QString helpText(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QString name = arguments.isEmpty() ? QStringLiteral("vestra7") : QFileInfo(arguments.front()).fileName();
    const QStringList applicationArguments =
        QCoreApplication::instance() ? QCoreApplication::arguments() : QStringList();
    const QString written =
        applicationArguments.isEmpty() ? QStringLiteral("<executable_name>") : applicationArguments.front();
    QString text = parser.helpText();
    const qsizetype at = text.indexOf(written);
    if (at >= 0)
        text.replace(at, written.size(), name);
    return text + toolCommandsHelp() + exporterHelp();
}

// The options that shape a command, whether or not one is given.
Result<ToolCommand> toolOptions(const QCommandLineParser &parser)
{
    ToolCommand tool;
    tool.serial = parser.value(QStringLiteral("serial"));
    tool.port = parser.value(QStringLiteral("port"));
    tool.all = parser.isSet(QStringLiteral("all"));
    tool.json = parser.isSet(QStringLiteral("json"));
    tool.force = parser.isSet(QStringLiteral("force"));
    tool.noBackup = parser.isSet(QStringLiteral("no-backup"));
    tool.dryRun = parser.isSet(QStringLiteral("dry-run"));
    tool.watch = parser.isSet(QStringLiteral("watch"));
    tool.codePage = parser.value(QStringLiteral("code-page"));
    if (!tool.codePage.isEmpty() && !ansiCodePageNames().contains(tool.codePage))
        return Error{QCoreApplication::translate("CommandLine", "Unknown code page '%1'; known are %2.")
                         .arg(tool.codePage, codePageNames())};
    if (parser.isSet(QStringLiteral("interval"))) {
        bool number = false;
        tool.intervalSeconds = parser.value(QStringLiteral("interval")).toInt(&number);
        if (!number || tool.intervalSeconds < 1 || tool.intervalSeconds > 3600)
            return Error{
                QCoreApplication::translate("CommandLine", "--interval needs a whole number of seconds, 1 to 3600.")};
    }
    if (parser.isSet(QStringLiteral("listen")))
        tool.listen = parser.value(QStringLiteral("listen"));
    return tool;
}

// Without a command the window opens, and the options that only shape a command make no sense.
Result<void> checkNoCommand(const QCommandLineParser &parser)
{
    for (const char *option : {"serial", "port", "all", "json", "force", "no-backup", "dry-run", "listen", "code-page"})
        if (parser.isSet(QLatin1String(option)))
            return Error{QCoreApplication::translate(
                "CommandLine", "--serial, --port, --all, --json, --force, --no-backup, --dry-run, "
                               "--listen and --code-page go with a command.")};
    return {};
}

// The tool with the command and its file, when the options fit them.
Result<ToolCommand> withCommand(const QStringList &words, ToolCommand tool)
{
    const std::optional<ToolCommand::Kind> kind = toolCommandKind(words.front());
    if (!kind)
        return Error{QCoreApplication::translate("CommandLine", "Unknown command '%1'.").arg(words.front())};
    tool.kind = *kind;
    const qsizetype expected = takesFile(tool.kind) ? 2 : 1;
    if (words.size() < expected)
        return Error{QCoreApplication::translate("CommandLine", "The command '%1' needs a file.").arg(words.front())};
    if (words.size() > expected)
        return Error{QCoreApplication::translate("CommandLine", "Unknown argument '%1'.").arg(words[expected])};
    if (expected == 2)
        tool.file = words[1];
    // Standard output carries one adapter's file and nothing else.
    if (writesToStandardOutput(tool) && (tool.all || tool.json))
        return Error{
            QCoreApplication::translate("CommandLine", "Standard output (-) goes with neither --all nor --json.")};
    if (tool.all && !tool.serial.isEmpty())
        return Error{QCoreApplication::translate("CommandLine", "--serial and --all cannot go together.")};
    if (tool.all && !tool.port.isEmpty())
        return Error{QCoreApplication::translate("CommandLine", "--port and --all cannot go together.")};
    if (tool.kind == ToolCommand::Kind::List && !tool.port.isEmpty())
        return Error{
            QCoreApplication::translate("CommandLine", "The command 'list' shows every adapter and takes no --port.")};
    if (tool.kind == ToolCommand::Kind::List && (tool.all || !tool.serial.isEmpty()))
        return Error{QCoreApplication::translate(
            "CommandLine", "The command 'list' shows every adapter and takes neither --serial nor --all.")};
    if (tool.watch && (tool.kind != ToolCommand::Kind::Status || tool.all))
        return Error{QCoreApplication::translate(
            "CommandLine", "--watch goes with the command 'status' on one adapter, not with --all.")};
    if (const Result<void> usage = checkExporterUsage(tool); !usage)
        return usage.error();
    return tool;
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
    for (const OptionText &option : kOptions)
        parser.addOption(optionFor(option));
    parser.addPositionalArgument(
        QStringLiteral("command"),
        QCoreApplication::translate("CommandLine", "A command to run without the window (see below)."),
        QStringLiteral("[command [file]]"));

    CommandLine command;
    if (!parser.parse(arguments))
        return refused(parser.errorText());
    if (parser.isSet(help)) {
        command.action = CommandLine::Action::ShowHelp;
        command.text = helpText(parser, arguments);
        return command;
    }
    if (parser.isSet(version)) {
        command.action = CommandLine::Action::ShowVersion;
        command.text = versionText();
        return command;
    }
    command.verbose = parser.isSet(QStringLiteral("verbose"));
    command.tracePath = parser.value(QStringLiteral("trace"));
    Result<ToolCommand> tool = toolOptions(parser);
    if (!tool)
        return refused(tool.error().message);
    command.tool = std::move(*tool);
    const QStringList words = parser.positionalArguments();
    if (words.isEmpty()) {
        const Result<void> alone = checkNoCommand(parser);
        return alone ? command : refused(alone.error().message);
    }
    if (parser.isSet(QStringLiteral("serial")) && command.tool.serial.isEmpty())
        return refused(QCoreApplication::translate("CommandLine", "--serial needs a serial number."));
    if (parser.isSet(QStringLiteral("port")) && command.tool.port.isEmpty())
        return refused(QCoreApplication::translate("CommandLine", "--port needs a USB port path."));
    tool = withCommand(words, std::move(command.tool));
    if (!tool)
        return refused(tool.error().message);
    command.tool = std::move(*tool);
    command.action = CommandLine::Action::RunTool;
    return command;
}

} // namespace vestra7
