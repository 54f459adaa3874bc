// SPDX-License-Identifier: GPL-3.0-or-later
// Writing whole files through a checked temporary file, and opening the program's own files safely.
#include "model/checked_files.h"

#include "model/file_name_bytes.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace vestra7 {

namespace {

Error systemError(int error)
{
    return {qt_error_string(error)};
}

Error notRegularError()
{
    return {QCoreApplication::translate("CheckedFiles", "It is not a regular file.")};
}

// The folder and the last name of a path, as bytes.
void splitPath(const QByteArray &path, QByteArray &folder, QByteArray &name)
{
    const qsizetype slash = path.lastIndexOf('/');
    folder = slash < 0 ? QByteArrayLiteral(".") : slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
    name = path.mid(slash + 1);
}

class Descriptor final
{
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// The file a user's name stands for: a link to a regular file is followed, so that saving over it
// changes the file it points to, as editors do.
Result<QByteArray> resolveSharedTarget(const QByteArray &path)
{
    struct stat status
    {
    };
    if (::lstat(path.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (!::realpath(path.constData(), resolved))
        return systemError(errno);
    return QByteArray(resolved);
}

// Creates a temporary file in the folder, with a name no other file has; -1 and errno on failure.
int createTemporary(int folder, mode_t mode, QByteArray &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = ".vestra7-" + QByteArray::number(QRandomGenerator::global()->generate64(), 16) + ".part";
        const int fd = ::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The descriptor, once the file has it, is the file's to close.
Result<std::unique_ptr<QFile>> fileOwning(Descriptor &fd)
{
    auto file = std::make_unique<QFile>();
    if (!file->open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return Error{file->errorString()};
    fd.release();
    return file;
}

} // namespace

Result<void> writeAll(int fd, const QByteArray &content)
{
    const char *data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return systemError(errno);
        // A write that takes nothing would never end; the disk has no room left.
        if (written == 0)
            return systemError(ENOSPC);
        data += written;
        left -= written;
    }
    return {};
}

Result<void> writeWholeFile(const QString &path, const QByteArray &content, FileKind kind)
{
    const QByteArray named = fileNameBytes(path);
    const Result<QByteArray> target = kind == FileKind::Shared ? resolveSharedTarget(named) : Result<QByteArray>(named);
    if (!target)
        return target.error();
    QByteArray folderPath;
    QByteArray name;
    splitPath(*target, folderPath, name);
    const int noFollow = kind == FileKind::Private ? O_NOFOLLOW : 0;
    const Descriptor folder(::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | noFollow));
    if (folder.get() < 0)
        return systemError(errno);

    struct stat existing
    {
    };
    const bool exists = ::fstatat(folder.get(), name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return notRegularError();

    QByteArray temporaryName;
    Descriptor file(createTemporary(folder.get(), kind == FileKind::Private ? 0600 : 0666, temporaryName));
    if (file.get() < 0)
        return systemError(errno);
    const auto fail = [&](int error) -> Result<void> {
        ::unlinkat(folder.get(), temporaryName.constData(), 0);
        return systemError(error);
    };
    // The user's file keeps the rights it had; the program's own files stay private whatever they had.
    if (exists && kind == FileKind::Shared && ::fchmod(file.get(), existing.st_mode & 07777) != 0)
        return fail(errno);
    if (Result<void> written = writeAll(file.get(), content); !written) {
        ::unlinkat(folder.get(), temporaryName.constData(), 0);
        return written;
    }
    // Only a file known to be on the disk may replace the one that is there.
    if (::fsync(file.get()) != 0)
        return fail(errno);
    if (::close(file.release()) != 0)
        return fail(errno);
    // Looked at again just before the rename, so that what came in meanwhile is not replaced either.
    if (::fstatat(folder.get(), name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(existing.st_mode)) {
        ::unlinkat(folder.get(), temporaryName.constData(), 0);
        return notRegularError();
    }
    if (::renameat(folder.get(), temporaryName.constData(), folder.get(), name.constData()) != 0)
        return fail(errno);
    // The new name itself is on the disk once the folder is; a failure here loses no data already written.
    ::fsync(folder.get());
    return {};
}

Result<std::unique_ptr<QFile>> openRegularFile(const QString &path)
{
    // Non-blocking, so that a pipe put in place of a file cannot make the open wait for a writer.
    Descriptor fd(::open(fileNameBytes(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return errno == ELOOP ? notRegularError() : systemError(errno);
    struct stat status
    {
    };
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return notRegularError();
    // Reads of a regular file never wait anyway; the flag goes so that Qt sees an ordinary file.
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return fileOwning(fd);
}

Result<std::unique_ptr<QFile>> openNamedFile(const QString &path)
{
    Descriptor fd(::open(fileNameBytes(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return systemError(errno);
    return fileOwning(fd);
}

Result<void> makePrivateFolder(const QString &path)
{
    const QByteArray bytes = fileNameBytes(path);
    if (::mkdir(bytes.constData(), 0700) != 0 && errno != EEXIST)
        return systemError(errno);
    const Descriptor folder(::open(bytes.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.get() < 0)
        return errno == ELOOP || errno == ENOTDIR
                   ? Error{QCoreApplication::translate("CheckedFiles", "It is not a folder.")}
                   : systemError(errno);
    struct stat status
    {
    };
    if (::fstat(folder.get(), &status) != 0)
        return systemError(errno);
    if ((status.st_mode & 077) != 0 && ::fchmod(folder.get(), 0700) != 0)
        return systemError(errno);
    return {};
}

} // namespace vestra7
