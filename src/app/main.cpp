// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry: the windows over the platform's HID access.
#include "app/program_start.h"
#include "link/hidapi_backend.h"

int main(int argc, char *argv[])
{
    return runProgram(argc, argv, [] {
        return ProgramBackend{[] { return std::make_unique<HidapiBackend>(); }, nullptr};
    });
}
