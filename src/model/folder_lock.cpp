// SPDX-License-Identifier: GPL-3.0-or-later
// Taking a folder's lock with flock() on a lock file of its own.
#include "model/folder_lock.h"

#include "model/file_name_bytes.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vestra7 {

FolderLock::FolderLock(const QString &folder, const char *fileName)
{
    const QByteArray path = fileNameBytes(QDir(folder).filePath(QLatin1String(fileName)));
    // Non-blocking, so that a pipe put in its place cannot make the open wait.
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        m_problem = qt_error_string(errno);
        return;
    }
    struct stat status
    {
    };
    if (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        m_problem = QCoreApplication::translate("CheckedFiles", "It is not a regular file.");
    } else {
        int locked = 0;
        do
            locked = ::flock(m_fd, LOCK_EX);
        while (locked != 0 && errno == EINTR);
        if (locked == 0)
            return;
        m_problem = qt_error_string(errno);
    }
    ::close(m_fd);
    m_fd = -1;
}

FolderLock::~FolderLock()
{
    // Closing the file lets the lock go.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace vestra7
