// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry: the windows over the platform's HID access.
#include "app/program_start.h"
#include "link/hidapi_backend.h"

#include <QCoreApplication>

using namespace vestra7;

int main(int argc, char *argv[])
{
    // Named here, not after the program file, so that a link to the program (or a renamed copy) keeps
    // its backups where they have always been.
    QCoreApplication::setApplicationName(QStringLiteral("vestra7"));
    return runProgram(argc, argv, [](ProgramUse) {
        return ProgramBackend{[] { return std::make_unique<HidapiBackend>(); }, nullptr};
    });
}
