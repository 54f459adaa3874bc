// SPDX-License-Identifier: GPL-3.0-or-later
// The folders a test run keeps to itself, set before the tests' application starts.
#pragma once

#include <QTemporaryDir>

namespace vestra7 {

// What the program keeps in the user's data folder (its backups) and settings (the code page
// remembered per adapter) goes into folders of this run, also for the programs a test starts, never
// into the home of whoever runs the tests. Adapters are locked in a scope of this run too: runs
// side by side on one machine, each with virtual adapters of the same serial numbers, must not wait
// for each other, nor for programs on real adapters.
class RunFolders
{
public:
    RunFolders();

    bool isValid() const;

private:
    QTemporaryDir m_dataHome;
    QTemporaryDir m_configHome;
};

} // namespace vestra7
