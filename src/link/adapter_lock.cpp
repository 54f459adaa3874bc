// SPDX-License-Identifier: GPL-3.0-or-later
// Adapter locks as abstract Unix sockets: taking and letting go of them, answering those who find
// them taken, and learning who holds one.
#include "link/adapter_lock.h"

#include "link/logging.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <map>
#include <mutex>
#include <poll.h>
#include <span>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vestra7 {

namespace {

// sun_path's 108 bytes, less the zero byte that makes a name abstract.
constexpr qsizetype kLongestName = sizeof(sockaddr_un::sun_path) - 1;
constexpr qsizetype kLongestProgram = 300;
constexpr qint64 kLongestCommandLine = 4096;
constexpr std::size_t kLongestMessage = 256;
// Connections kept open for a request: whoever opens more only pushes out their own.
constexpr std::size_t kMostAskers = 8;
constexpr int kBacklog = 16;
constexpr char kRequest[] = "request";

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

struct Address
{
    sockaddr_un address{};
    socklen_t length = 0;
    const sockaddr *get() const { return reinterpret_cast<const sockaddr *>(&address); }
};

Address addressOf(const QByteArray &name)
{
    Address result;
    result.address.sun_family = AF_UNIX;
    // sun_path[0] stays zero: the name is abstract, and no file.
    std::memcpy(result.address.sun_path + 1, name.constData(), static_cast<std::size_t>(name.size()));
    result.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(name.size()));
    return result;
}

// One message per call, and its bounds kept: a reply is never taken for two.
int newSocket()
{
    return ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

void sendMessage(int socket, const QByteArray &message)
{
    // Someone who does not read it has only themselves to blame; the sender never waits nor dies of it.
    if (::send(socket, message.constData(), static_cast<std::size_t>(message.size()), MSG_NOSIGNAL | MSG_DONTWAIT) < 0)
        qCDebug(lcHid) << "adapter lock: a message was not sent:" << systemError(errno);
}

// One message, or -1 when it is longer than `buffer`: a cut one could read as another (errno is
// then EMSGSIZE).
ssize_t receiveWhole(int socket, std::span<char, kLongestMessage> buffer)
{
    const ssize_t count = ::recv(socket, buffer.data(), buffer.size(), MSG_TRUNC);
    if (count > static_cast<ssize_t>(buffer.size())) {
        errno = EMSGSIZE;
        return -1;
    }
    return count;
}

// The holder's command line from /proc, its first word without folder, each control character
// replaced; empty where the system hides it.
QString programOf(qint64 processId)
{
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(processId));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> words = file.read(kLongestCommandLine).split('\0');
    while (!words.isEmpty() && words.back().isEmpty())
        words.pop_back();
    if (words.isEmpty())
        return {};
    words.front() = QFile::encodeName(QFileInfo(QFile::decodeName(words.front())).fileName());
    QString text = QString::fromLocal8Bit(words.join(' ')).left(kLongestProgram);
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    return text;
}

// The holder's answer on a new connection, waited for a short while.
bool answersHandOver(int socket)
{
    pollfd waiting{socket, POLLIN, 0};
    int ready = 0;
    do
        ready = ::poll(&waiting, 1, static_cast<int>(AdapterLock::kHolderAnswer.count()));
    while (ready < 0 && errno == EINTR);
    char message[kLongestMessage];
    const ssize_t count = ready > 0 ? receiveWhole(socket, message) : -1;
    if (count <= 0)
        return false;
    const QList<QByteArray> lines = QByteArray(message, count).split('\n');
    return lines.contains("handover=request");
}

// Who holds the lock at `address`, asked for the adapter when `ask` and it hands over. `gone` when
// the holder let go meanwhile.
AdapterLockHolder holderAt(const Address &address, bool ask, bool &gone)
{
    AdapterLockHolder holder;
    const int socket = newSocket();
    if (socket < 0) {
        holder.failure = systemError(errno);
        return holder;
    }
    if (::connect(socket, address.get(), address.length) != 0) {
        const int error = errno;
        ::close(socket);
        gone = error == ECONNREFUSED;
        // EAGAIN: its queue is full; it is held all the same, by whom is not known.
        if (error != ECONNREFUSED && error != EAGAIN)
            holder.failure = systemError(error);
        return holder;
    }
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.pid > 0) {
        holder.processId = peer.pid;
        holder.program = programOf(peer.pid);
    }
    holder.handsOver = answersHandOver(socket);
    if (holder.handsOver && ask)
        sendMessage(socket, kRequest);
    ::close(socket);
    return holder;
}

// The locks this process holds, by name. A holder in this process, which may be the caller's own
// thread, cannot answer on a socket while the caller waits for it; it is asked directly instead.
struct LocksHere
{
    std::mutex mutex;
    std::map<QByteArray, AdapterLock *> held;
};

LocksHere &locksHere()
{
    static LocksHere locks;
    return locks;
}

// Disabled before its socket closes, deleted once its activation, which may be under way, is over,
// or with the lock, its parent, whichever comes first.
void dropNotifier(std::unique_ptr<QSocketNotifier> &notifier)
{
    if (!notifier)
        return;
    notifier->setEnabled(false);
    notifier.release()->deleteLater();
}

} // namespace

// A connection to a lock held until asked, on which a request may still come.
struct AdapterLock::Asker
{
    Asker(int connection, AdapterLock *lock)
        : socket(connection)
        , notifier(std::make_unique<QSocketNotifier>(connection, QSocketNotifier::Read, lock))
    {
    }
    ~Asker()
    {
        dropNotifier(notifier);
        ::close(socket);
    }
    Asker(const Asker &) = delete;
    Asker &operator=(const Asker &) = delete;

    int socket;
    std::unique_ptr<QSocketNotifier> notifier;
};

QString AdapterLock::systemScope()
{
    const QString asked = qEnvironmentVariable("VESTRA7_LOCK_SCOPE");
    return asked.isEmpty() ? QStringLiteral("system") : asked;
}

AdapterLock::AdapterLock(QString scope, Hold hold, QObject *parent)
    : QObject(parent)
    , m_scope(std::move(scope))
    , m_hold(hold)
{
}

AdapterLock::~AdapterLock()
{
    release();
}

QByteArray AdapterLock::nameFor(const QString &scope, const QString &key)
{
    const QByteArray name =
        "vestra7/" + scope.toUtf8().toPercentEncoding("@") + '/' + key.toUtf8().toPercentEncoding("@");
    if (name.size() <= kLongestName)
        return name;
    return "vestra7/" +
           QCryptographicHash::hash(scope.toUtf8() + '\0' + key.toUtf8(), QCryptographicHash::Sha256).toHex();
}

Result<void, AdapterLockHolder> AdapterLock::take(const QString &key)
{
    if (m_socket >= 0 && key == m_key)
        return {};
    const QByteArray name = nameFor(m_scope, key);
    const Address address = addressOf(name);
    AdapterLockHolder refused;
    // A holder that lets go between the bind and the look at it leaves the name free for a second try.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int socket = newSocket();
        if (socket < 0) {
            refused.failure = systemError(errno);
            return refused;
        }
        if (::bind(socket, address.get(), address.length) == 0 && ::listen(socket, kBacklog) == 0) {
            hold(socket, key, name);
            return {};
        }
        const int error = errno;
        ::close(socket);
        if (error != EADDRINUSE) {
            refused.failure = systemError(error);
            return refused;
        }
        if (std::optional<AdapterLockHolder> here = holderHere(name))
            return *here;
        bool gone = false;
        refused = holderAt(address, m_hold == Hold::UntilDone, gone);
        if (!gone)
            return refused;
    }
    return refused;
}

void AdapterLock::hold(int socket, const QString &key, const QByteArray &name)
{
    release();
    m_socket = socket;
    m_key = key;
    m_name = name;
    m_listening = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read, this);
    connect(m_listening.get(), &QSocketNotifier::activated, this, &AdapterLock::acceptAskers);
    LocksHere &here = locksHere();
    const std::lock_guard lock(here.mutex);
    here.held[name] = this;
}

void AdapterLock::release()
{
    m_askers.clear();
    dropNotifier(m_listening);
    if (m_socket < 0)
        return;
    {
        LocksHere &here = locksHere();
        const std::lock_guard lock(here.mutex);
        here.held.erase(m_name);
    }
    ::close(m_socket); // the name goes with it
    m_socket = -1;
    m_key.clear();
    m_name.clear();
}

std::optional<AdapterLockHolder> AdapterLock::holderHere(const QByteArray &name) const
{
    LocksHere &here = locksHere();
    const std::lock_guard lock(here.mutex);
    const auto found = here.held.find(name);
    if (found == here.held.end())
        return std::nullopt;
    const AdapterLock &holder = *found->second;
    const qint64 self = QCoreApplication::applicationPid();
    const bool handsOver = holder.m_hold == Hold::UntilAsked;
    if (handsOver && m_hold == Hold::UntilDone)
        QMetaObject::invokeMethod(found->second, &AdapterLock::handOverAsked, Qt::QueuedConnection);
    return AdapterLockHolder{self, programOf(self), handsOver, {}};
}

void AdapterLock::acceptAskers()
{
    const QByteArray answer = m_hold == Hold::UntilAsked ? "handover=request\n" : "handover=no\n";
    for (;;) {
        const int connection = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (connection < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        sendMessage(connection, answer);
        if (m_hold == Hold::UntilDone) {
            ::close(connection);
            continue;
        }
        if (m_askers.size() >= kMostAskers)
            m_askers.erase(m_askers.begin());
        m_askers.push_back(std::make_unique<Asker>(connection, this));
        connect(m_askers.back()->notifier.get(), &QSocketNotifier::activated, this,
                [this, connection] { readAsker(connection); });
    }
}

void AdapterLock::readAsker(int socket)
{
    char message[kLongestMessage];
    const ssize_t count = receiveWhole(socket, message);
    if (count < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (count > 0 && QByteArray(message, count).trimmed() == kRequest) {
        qCDebug(lcHid) << "adapter" << m_key << "is asked for";
        QMetaObject::invokeMethod(this, &AdapterLock::handOverAsked, Qt::QueuedConnection);
    }
    // One message per connection: whatever it was, or the end, the connection has had its say.
    std::erase_if(m_askers, [socket](const std::unique_ptr<Asker> &asker) { return asker->socket == socket; });
}

QString adapterInUseText(const AdapterLockHolder &holder)
{
    if (!holder.failure.isEmpty())
        return QCoreApplication::translate("AdapterLock", "cannot lock the adapter: %1").arg(holder.failure);
    if (holder.processId == 0)
        return QCoreApplication::translate("AdapterLock", "adapter in use by another process");
    if (holder.program.isEmpty())
        return QCoreApplication::translate("AdapterLock", "adapter in use by process %1").arg(holder.processId);
    return QCoreApplication::translate("AdapterLock", "adapter in use by process %1 (%2)")
        .arg(holder.processId)
        .arg(holder.program);
}

} // namespace vestra7
