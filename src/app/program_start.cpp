// SPDX-License-Identifier: GPL-3.0-or-later
// Starting the program.
#include "app/program_start.h"

#include "app/application.h"
#include "app/command_line.h"
#include "app/exporter.h"
#include "app/program_translations.h"
#include "app/tool_runner.h"
#include "link/report_trace.h"
#include "link/tracing_backend.h"
#include "model/file_name_bytes.h"

#include <QApplication>
#include <QLoggingCategory>

#include <cstdio>

namespace vestra7 {

namespace {

// The backend with every report written to the trace, when there is one.
Adapter::BackendFactory traced(Adapter::BackendFactory makeBackend, std::shared_ptr<ReportTrace> trace)
{
    return [makeBackend = std::move(makeBackend), trace = std::move(trace)]() -> std::unique_ptr<HidBackend> {
        std::unique_ptr<HidBackend> backend = makeBackend();
        if (backend && trace)
            return std::make_unique<TracingBackend>(std::move(backend), trace);
        return backend;
    };
}

// Logging and the trace, as the command line asks; false when the trace cannot be written.
bool prepareLogging(const CommandLine &command, std::shared_ptr<ReportTrace> &trace)
{
    if (command.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("vestra7.*.debug=true"));
    if (command.tracePath.isEmpty())
        return true;
    Result<std::unique_ptr<ReportTrace>> opened = ReportTrace::open(command.tracePath);
    if (!opened) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QCoreApplication::translate("ProgramStart", "Cannot write the trace \"%1\". %2")
                                    .arg(command.tracePath, opened.error().message)));
        return false;
    }
    trace = std::move(*opened);
    return true;
}

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << fileNameFromBytes(argv[i]); // a file name keeps its bytes, UTF-8 or not
    return arguments;
}

} // namespace

int runProgram(int argc, char *argv[], const std::function<ProgramBackend(ProgramUse use)> &prepare)
{
    CommandLine command;
    {
        // Translations need an application object, and --help, --version and the commands must run
        // without a display: the command line is read, and a command run, under a core application
        // that goes before the windows'.
        QCoreApplication core(argc, argv);
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
        case CommandLine::Action::RunTool: {
            // No window: installers run the commands over SSH and in scripts.
            std::shared_ptr<ReportTrace> trace;
            if (!prepareLogging(command, trace))
                return 1;
            const ProgramBackend devices = prepare(ProgramUse::Command);
            if (command.tool.kind == ToolCommand::Kind::Exporter)
                return runExporter(command.tool, traced(devices.makeBackend, trace));
            return runToolCommand(command.tool, traced(devices.makeBackend, trace));
        }
        case CommandLine::Action::Run:
            break;
        }
    }

    QApplication app(argc, argv);
    const ProgramTranslations translations(programLocale());
    std::shared_ptr<ReportTrace> trace;
    if (!prepareLogging(command, trace))
        return 1;
    const ProgramBackend devices = prepare(ProgramUse::Windows);
    Application application(traced(devices.makeBackend, trace));
    return application.exec();
}

} // namespace vestra7
