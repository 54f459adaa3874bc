// SPDX-License-Identifier: GPL-3.0-or-later
// Mounting, filling and unmounting the tiny tmpfs.
#include "support/tiny_disk.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace vestra7 {

TinyDisk::TinyDisk()
{
    if (!m_folder.isValid()) {
        m_error = m_folder.errorString();
        return;
    }
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_folder.path()).constData(), "tmpfs", 0, "size=12k") == 0;
    if (!m_mounted)
        m_error = QString::fromLocal8Bit(std::strerror(errno));
}

TinyDisk::~TinyDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
}

QString TinyDisk::path(const QString &name) const
{
    return QDir(m_folder.path()).filePath(name);
}

void TinyDisk::fill() const
{
    const int fd = ::open(QFile::encodeName(path(QStringLiteral("filler"))).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    const char block[512] = {};
    while (::write(fd, block, sizeof block) > 0) {
    }
    // A last partial block fills what a whole one could not.
    while (::write(fd, block, 1) > 0) {
    }
    ::close(fd);
}

} // namespace vestra7
