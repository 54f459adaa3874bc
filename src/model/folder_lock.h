// SPDX-License-Identifier: GPL-3.0-or-later
// A lock that makes programs take turns at reading, changing and writing back the files of a folder.
#pragma once

#include <QString>

namespace vestra7 {

// Held from construction until destruction, through a private lock file in the folder; other
// holders, in this process or another, wait meanwhile. The lock goes with the process that holds
// it, so a program that dies leaves no stale lock behind.
class FolderLock final
{
public:
    // Opens or makes the lock file `fileName` (0600, never through a link, only a regular file) in
    // `folder`, which must exist, and waits for the lock.
    FolderLock(const QString &folder, const char *fileName);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Why the lock is not held, in the system's words; empty while it is.
    const QString &problem() const { return m_problem; }

private:
    int m_fd = -1;
    QString m_problem;
};

} // namespace vestra7
