// SPDX-License-Identifier: GPL-3.0-or-later
// The demo: the program with an emulated adapter plugged in, for trying the tool without hardware.
#include "app/program_start.h"
#include "model/ansi_codec.h"
#include "model/byte_span.h"
#include "model/checked_files.h"
#include "sim/demo_adapter.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

using namespace vestra7;

namespace {

// Writes a sample file where the file dialogs can be pointed at it, and says where.
void writeSampleFile(const QString &folder, const QString &name, const QByteArray &content, const QString &what)
{
    const QString path = QDir(folder).filePath(name);
    if (writeWholeFile(path, content, FileKind::Private)) {
        std::fprintf(stderr, "%s\n", qPrintable(what.arg(QDir::toNativeSeparators(path))));
        std::fflush(stderr);
    }
}

// The demo's boot loader takes the update file; the contacts show what an import marks.
void writeSampleFiles(const QString &folder)
{
    const std::vector<std::uint8_t> update = demoUpdateFile();
    writeSampleFile(folder, QStringLiteral("VESTRA7-1.3.0.xupd"), toByteArray(update),
                    QCoreApplication::translate("Demo", "A firmware update file for the demo adapter: %1"));
    writeSampleFile(folder, QStringLiteral("contacts.vcf"), demoContactsFile(),
                    QCoreApplication::translate("Demo", "Contacts to import (Tools > Import contacts): %1"));
}

} // namespace

int main(int argc, char *argv[])
{
    // The demo keeps its backups apart from the program's.
    QCoreApplication::setApplicationName(QStringLiteral("vestra7-demo"));
    AnsiCodec::useCodePage(kDemoCodePage);
    return runProgram(argc, argv, [](ProgramUse use) {
        struct Demo
        {
            EmulatedBus bus;
            std::unique_ptr<DemoCallers> callers;
            std::unique_ptr<DemoRadio> radio;
            // Made afresh for each run and only the user's to enter: a folder of a fixed name in the
            // shared temporary folder could be made first by someone else, with links in it.
            QTemporaryDir samples{QDir::temp().filePath(QStringLiteral("vestra7-demo-XXXXXX"))};
        };
        auto demo = std::make_shared<Demo>();
        auto adapter = std::make_shared<EmulatedAdapter>();
        adapter->setRecord(demoRecord());
        adapter->setUsbTiming(true);
        demo->bus.plug(adapter);
        demo->callers = std::make_unique<DemoCallers>(adapter);
        demo->radio = std::make_unique<DemoRadio>(adapter);
        // A second adapter, with nothing stored yet, so that "Tools > Adapter" has a choice to offer
        // and "--all" more than one adapter to go through.
        auto second =
            std::make_shared<EmulatedAdapter>(EmulatedIdentity::withSerialNumber(QStringLiteral("V7-2041-000118")));
        second->setUsbTiming(true);
        demo->bus.plug(second);
        // For the windows' file dialogs; a command would only see them removed as it ends.
        if (use == ProgramUse::Windows && demo->samples.isValid())
            writeSampleFiles(demo->samples.path());
        return ProgramBackend{[bus = &demo->bus] { return std::make_unique<EmulatedBackend>(*bus); }, demo};
    });
}
