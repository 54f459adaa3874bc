// SPDX-License-Identifier: GPL-3.0-or-later
// Lock files per adapter: taking, reading and letting go of them, and asking a holder for them.
#include "link/adapter_lock.h"

#include "link/logging.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vestra7 {

namespace {

// Longer names are hashed, well within the 255 bytes a file name may have.
constexpr qsizetype kLongestEncodedKey = 200;
constexpr qsizetype kLongestProgram = 300;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The command line, each control character replaced, so that the file keeps one entry per line.
QByteArray thisProgram()
{
    QStringList words = QCoreApplication::arguments();
    if (!words.isEmpty())
        words.front() = QFileInfo(words.front()).fileName();
    QString text = words.join(QLatin1Char(' ')).left(kLongestProgram);
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    return text.toUtf8();
}

// Opens a lock or request file without following a link and without hanging on a FIFO. In a sticky folder a
// file of another user may not be opened with O_CREAT, so an existing file is opened without it.
int openLockFile(const QByteArray &path, QString &failure)
{
    constexpr int flags = O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
    int fd = ::open(path.constData(), O_RDWR | flags);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | flags, 0666);
        if (fd >= 0)
            ::fchmod(fd, 0666); // whoever takes the lock next writes its name into it, whatever the umask
        else if (errno == EEXIST)
            fd = ::open(path.constData(), O_RDWR | flags);
    }
    // A file another user left writable only to themselves can still be locked, only not named in.
    if (fd < 0 && errno == EACCES)
        fd = ::open(path.constData(), O_RDONLY | flags);
    if (fd < 0) {
        failure = QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(path), systemError(errno));
        return -1;
    }
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        failure = QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(path), systemError(EINVAL));
        ::close(fd);
        return -1;
    }
    return fd;
}

AdapterLockHolder holderIn(int fd)
{
    AdapterLockHolder holder;
    char buffer[1024];
    const ssize_t count = ::pread(fd, buffer, sizeof buffer, 0);
    if (count <= 0)
        return holder;
    for (const QByteArray &line : QByteArray(buffer, count).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        const QByteArray name = line.left(equals);
        if (equals > 0 && name == "pid")
            holder.processId = line.mid(equals + 1).toLongLong();
        else if (equals > 0 && name == "program")
            holder.program = QString::fromUtf8(line.mid(equals + 1));
        else if (equals > 0 && name == "handover")
            holder.handsOver = line.mid(equals + 1) == "request";
    }
    return holder;
}

QString fileNamed(const QString &folder, const QString &key, const char *extension)
{
    QByteArray name = key.toUtf8().toPercentEncoding("@");
    if (name.size() > kLongestEncodedKey)
        name = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QDir(folder).filePath(
        QStringLiteral("vestra7-%1.%2").arg(QString::fromLatin1(name), QLatin1String(extension)));
}

} // namespace

QString AdapterLock::systemFolder()
{
    const QString asked = qEnvironmentVariable("VESTRA7_LOCK_DIR");
    if (!asked.isEmpty())
        return asked;
    return QFileInfo(QStringLiteral("/run/lock")).isDir() ? QStringLiteral("/run/lock") : QStringLiteral("/tmp");
}

AdapterLock::AdapterLock(QString folder, Hold hold)
    : m_folder(std::move(folder))
    , m_hold(hold)
{
}

AdapterLock::~AdapterLock()
{
    release();
}

Result<void, AdapterLockHolder> AdapterLock::take(const QString &key)
{
    if (m_fd >= 0 && key == m_key)
        return {};
    AdapterLockHolder refused;
    const int fd = openLockFile(QFile::encodeName(fileFor(m_folder, key)), refused.failure);
    if (fd < 0)
        return refused;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK)
            refused = holderIn(fd);
        else
            refused.failure = systemError(error);
        ::close(fd);
        if (refused.handsOver && m_hold == Hold::UntilDone)
            askHandOver(key);
        return refused;
    }
    QByteArray name = "pid=" + QByteArray::number(::getpid()) + "\nprogram=" + thisProgram() + '\n';
    if (m_hold == Hold::UntilAsked)
        name += "handover=request\n";
    // A file opened read-only keeps the last holder's name; the lock holds all the same, as it does
    // when the name could not be written whole (a full disk): the holder is then "another process".
    if (::ftruncate(fd, 0) == 0 &&
        ::pwrite(fd, name.constData(), static_cast<std::size_t>(name.size()), 0) != name.size() &&
        ::ftruncate(fd, 0) != 0)
        qCWarning(lcHid) << "the adapter's lock file names no holder:" << systemError(errno);
    release();
    m_fd = fd;
    m_key = key;
    return {};
}

void AdapterLock::release()
{
    if (m_fd < 0)
        return;
    // The file stays: removing it would let a third process lock a new file while a second one
    // waits on the old.
    ::close(m_fd);
    m_fd = -1;
    m_key.clear();
}

void AdapterLock::askHandOver(const QString &key) const
{
    // The request is the file's time: renewing it needs no more than the write access every user
    // has to it, whoever made it first. A request that cannot be made leaves the holder be.
    QString failure;
    const int fd = openLockFile(QFile::encodeName(requestFileFor(m_folder, key)), failure);
    if (fd < 0) {
        qCDebug(lcHid) << "cannot ask for the adapter:" << failure;
        return;
    }
    if (::futimens(fd, nullptr) != 0)
        qCDebug(lcHid) << "cannot ask for the adapter:" << systemError(errno);
    ::close(fd);
}

bool AdapterLock::handOverAsked(const QString &key) const
{
    struct stat status
    {
    };
    const QByteArray path = QFile::encodeName(requestFileFor(m_folder, key));
    if (::lstat(path.constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    using namespace std::chrono;
    const system_clock::time_point made{
        duration_cast<system_clock::duration>(seconds(status.st_mtim.tv_sec) + nanoseconds(status.st_mtim.tv_nsec))};
    const auto age = system_clock::now() - made;
    // A file dated ahead (set so by its owner) would otherwise keep the holder away for good.
    return age < kRequestLifetime && age > -seconds(1);
}

QString AdapterLock::fileFor(const QString &folder, const QString &key)
{
    return fileNamed(folder, key, "lock");
}

QString AdapterLock::requestFileFor(const QString &folder, const QString &key)
{
    return fileNamed(folder, key, "request");
}

QString adapterInUseText(const AdapterLockHolder &holder)
{
    if (!holder.failure.isEmpty())
        return QCoreApplication::translate("AdapterLock", "cannot lock the adapter: %1").arg(holder.failure);
    if (holder.processId == 0)
        return QCoreApplication::translate("AdapterLock", "adapter in use by another process");
    return QCoreApplication::translate("AdapterLock", "adapter in use by process %1 (%2)")
        .arg(holder.processId)
        .arg(holder.program);
}

} // namespace vestra7
