// The demo: the program with an emulated adapter plugged in, for trying the tool without hardware.
#include "app/program_start.h"
#include "model/ansi_codec.h"
#include "sim/demo_adapter.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"

#include <QDir>
#include <QSaveFile>

#include <cstdio>

namespace {

// The demo's boot loader takes this file; it is written where the update window's file dialog can
// be pointed at it.
void writeSampleUpdateFile()
{
    const QString folder = QDir::temp().filePath(QStringLiteral("vestra7-demo"));
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("VESTRA7-1.3.0.xupd"));
    const std::vector<std::uint8_t> content = demoUpdateFile();
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) &&
        file.write(reinterpret_cast<const char *>(content.data()), static_cast<qint64>(content.size())) ==
            static_cast<qint64>(content.size()) &&
        file.commit()) {
        // On standard error, so that a command's output (list --json, say) stays what it says.
        std::fprintf(stderr, "A firmware update file for the demo adapter: %s\n",
                     qPrintable(QDir::toNativeSeparators(path)));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    AnsiCodec::useCodePage(kDemoCodePage);
    return runProgram(argc, argv, [] {
        struct Demo
        {
            EmulatedBus bus;
            std::unique_ptr<DemoCallers> callers;
        };
        auto demo = std::make_shared<Demo>();
        auto adapter = std::make_shared<EmulatedAdapter>();
        adapter->setRecord(demoRecord());
        adapter->setUsbTiming(true);
        demo->bus.plug(adapter);
        demo->callers = std::make_unique<DemoCallers>(adapter);
        writeSampleUpdateFile();
        return ProgramBackend{[bus = &demo->bus] { return std::make_unique<EmulatedBackend>(*bus); }, demo};
    });
}
