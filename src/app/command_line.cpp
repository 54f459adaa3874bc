// Reading the command line.
#include "app/command_line.h"

#include "link/hidapi_backend.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

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
    parser.addOption(verbose);
    parser.addOption(trace);

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
        return command;
    }
    if (parser.isSet(version)) {
        command.action = CommandLine::Action::ShowVersion;
        command.text = versionText();
        return command;
    }
    if (!parser.positionalArguments().isEmpty()) {
        command.action = CommandLine::Action::Refuse;
        command.text = QCoreApplication::translate("CommandLine", "Unknown argument '%1'.")
                           .arg(parser.positionalArguments().front());
        return command;
    }
    command.verbose = parser.isSet(verbose);
    command.tracePath = parser.value(trace);
    return command;
}
