// Starting the program.
#include "app/program_start.h"

#include "app/application.h"
#include "app/command_line.h"
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
    const CommandLine command = parseCommandLine(argumentsOf(argc, argv));
    switch (command.action) {
    case CommandLine::Action::ShowHelp:
    case CommandLine::Action::ShowVersion:
        std::fputs(qPrintable(command.text), stdout);
        return 0;
    case CommandLine::Action::Refuse:
        std::fprintf(stderr, "%s\nTry '%s --help'.\n", qPrintable(command.text), argc > 0 ? argv[0] : "vestra7");
        return 2;
    case CommandLine::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    if (command.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("vestra7.*.debug=true"));
    std::shared_ptr<ReportTrace> trace;
    if (!command.tracePath.isEmpty()) {
        QString error;
        trace = ReportTrace::open(command.tracePath, &error);
        if (!trace) {
            std::fprintf(stderr, "Cannot write the trace \"%s\". %s\n", qPrintable(command.tracePath), qPrintable(error));
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
