// SPDX-License-Identifier: GPL-3.0-or-later
// Entry point of tests without windows: GoogleTest inside a QCoreApplication.
#include "support/run_folders.h"

#include <QCoreApplication>

#include <gmock/gmock.h>

using namespace vestra7;

int main(int argc, char *argv[])
{
    const RunFolders folders;
    if (!folders.isValid())
        return 1;
    QCoreApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
