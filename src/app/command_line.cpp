// Reading the command line.
#include "app/command_line.h"

#include "link/hidapi_backend.h"

#include <QCommandLineParser>
#include <QFileInfo>

QString versionText()
{
    return QStringLiteral("vestra7 %1\nQt %2 (built with %3)\nhidapi %4\n")
        .arg(QStringLiteral(VESTRA7_VERSION), QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR),
             hidapiVersion());
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configures and controls a VESTRA7 two-line cellular voice adapter on USB."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Log what the program does (categories vestra7.*) to standard error."));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Write every report to and from the adapter, with its time, to <file>."),
                                   QStringLiteral("file"));
    parser.addOption(verbose);
    parser.addOption(trace);

    CommandLine command;
    if (!parser.parse(arguments)) {
        command.action = CommandLine::Action::Refuse;
        command.text = parser.errorText();
        return command;
    }
    if (parser.isSet(help)) {
        // Without an application object the parser cannot know the program's name.
        const QString name = arguments.isEmpty() ? QStringLiteral("vestra7") : QFileInfo(arguments.front()).fileName();
        command.action = CommandLine::Action::ShowHelp;
        command.text = parser.helpText().replace(QStringLiteral("<executable_name>"), name);
        return command;
    }
    if (parser.isSet(version)) {
        command.action = CommandLine::Action::ShowVersion;
        command.text = versionText();
        return command;
    }
    if (!parser.positionalArguments().isEmpty()) {
        command.action = CommandLine::Action::Refuse;
        command.text = QStringLiteral("Unknown argument '%1'.").arg(parser.positionalArguments().front());
        return command;
    }
    command.verbose = parser.isSet(verbose);
    command.tracePath = parser.value(trace);
    return command;
}
