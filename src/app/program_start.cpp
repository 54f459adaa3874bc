// Starting the program.
#include "app/program_start.h"

#include "app/application.h"
#include "app/command_line.h"
#include "app/program_translations.h"
#include "link/report_trace.h"
#include "link/tracing_backend.h"

#include <QApplication>
#include <QLoggingCategory>

#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int runProgram(int argc, char *argv[], const std::function<ProgramBackend()> &prepare)
{
    CommandLine command;
    {
        // Translations need an application object, and --help and --version must answer without a
        // display: the command line is read under a core application that goes before the windows'.
        const QCoreApplication core(argc, argv);
        const ProgramTranslations translations(programLocale());
        command = parseCommandLine(argumentsOf(argc, argv));
        switch (command.action) {
        case CommandLine::Action::ShowHelp:
        case CommandLine::Action::ShowVersion:
            std::fputs(qPrintable(command.text), stdout);
            return 0;
        case CommandLine::Action::Refuse:
            std::fprintf(stderr, "%s\n%s\n", qPrintable(command.text),
                         qPrintable(QCoreApplication::translate("CommandLine", "Try '%1 --help'.")
                                        .arg(QString::fromLocal8Bit(argc > 0 ? argv[0] : "vestra7"))));
            return 2;
        case CommandLine::Action::Run:
            break;
        }
    }

    QApplication app(argc, argv);
    const ProgramTranslations translations(programLocale());
    if (command.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("vestra7.*.debug=true"));
    std::shared_ptr<ReportTrace> trace;
    if (!command.tracePath.isEmpty()) {
        QString error;
        trace = ReportTrace::open(command.tracePath, &error);
        if (!trace) {
            std::fprintf(stderr, "%s\n",
                         qPrintable(QCoreApplication::translate("CommandLine", "Cannot write the trace \"%1\". %2")
                                        .arg(command.tracePath, error)));
            return 1;
        }
    }
    const ProgramBackend devices = prepare();
    Application application([makeBackend = devices.makeBackend, trace]() -> std::unique_ptr<HidBackend> {
        std::unique_ptr<HidBackend> backend = makeBackend();
        if (backend && trace)
            return std::make_unique<TracingBackend>(std::move(backend), trace);
        return backend;
    });
    return application.exec();
}
