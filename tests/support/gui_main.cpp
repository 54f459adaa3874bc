// SPDX-License-Identifier: GPL-3.0-or-later
// Entry point of tests with windows: GoogleTest inside a QApplication on the offscreen platform.
#include "support/run_folders.h"

#include <QApplication>

#include <gmock/gmock.h>

using namespace vestra7;

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    const RunFolders folders;
    if (!folders.isValid())
        return 1;
    QApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
