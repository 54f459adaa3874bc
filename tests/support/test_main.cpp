// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry point: GoogleTest inside a QApplication on the offscreen platform.
#include <QApplication>
#include <QTemporaryDir>

#include <gmock/gmock.h>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // What the program keeps in the user's data folder (its backups) goes into a folder of this run,
    // also for the programs a test starts, never into the home of whoever runs the tests.
    const QTemporaryDir dataHome;
    if (!dataHome.isValid())
        return 1;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    // Its settings (the code page remembered per adapter) likewise.
    const QTemporaryDir configHome;
    if (!configHome.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    // Adapters are locked in a folder of this run too: runs side by side on one machine, each with
    // virtual adapters of the same serial numbers, must not wait for each other.
    const QTemporaryDir lockFolder;
    if (!lockFolder.isValid())
        return 1;
    qputenv("VESTRA7_LOCK_DIR", lockFolder.path().toLocal8Bit());
    QApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
