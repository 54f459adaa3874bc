// SPDX-License-Identifier: GPL-3.0-or-later
// The lock that makes one program at a time the user of an adapter, across processes and users, and
// the request by which a holder that hands it over is asked for it.
#pragma once

#include "model/result.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

namespace vestra7 {

// Who holds an adapter, as its lock says.
struct AdapterLockHolder
{
    qint64 processId = 0;   // 0 when it could not be learnt (the holder was just letting go)
    QString program;        // the holder's command line, as it was started; empty where unreadable
    bool handsOver = false; // lets go of the adapter when asked (see AdapterLock::Hold)
    QString failure;        // why the lock could not be taken, when nobody holds it: the system's words
};

// One lock per adapter key: a Unix socket bound to an abstract name, "vestra7/<scope>/<key>", and
// listening for as long as this program uses the adapter. The kernel lets one socket at a time have
// a name, and takes the name away with the socket when its process ends, however it ends. An
// abstract name is no file: nobody can leave one behind for others to trip over, nor link it
// elsewhere, nor keep it without keeping a process, which the lock then names. Abstract names
// belong to a network namespace: programs in different ones (a service with a private network)
// do not see each other's locks.
//
// Whoever finds the name taken connects to it: the kernel names the holder's process and user, and
// the holder answers with lines of "name=value", of which unknown names are ignored. A holder that
// watches the adapter only (a service) says "handover=request": whoever wants the adapter for a
// person sends "request" on that connection at every try. The holder lets go, and takes the
// adapter back only once no request has come for a while and the lock is free. A service and a
// desktop user cannot signal each other's processes, but both may connect to each other's lock.
class AdapterLock final : public QObject
{
    Q_OBJECT

public:
    // How the lock is held: until the program is done with the adapter (the window, a command), or
    // until someone asks for it (a service that only watches).
    enum class Hold { UntilDone, UntilAsked };

    // The asker renews its request at every try (every 500 ms): a holder that let go waits this
    // long after the last one before it takes the adapter back, or it would snatch it from the
    // asker between two tries.
    static constexpr std::chrono::milliseconds kRequestLifetime{2000};
    // How long a holder has to say whether it hands over; one that is silent is still the holder.
    static constexpr std::chrono::milliseconds kHolderAnswer{200};
    // How long a command waits for a holder that hands over, before it says the adapter is in use.
    static constexpr std::chrono::milliseconds kHandOverWait{3000};

    // The scope of the adapters on this machine: $VESTRA7_LOCK_SCOPE when set (tests that must not
    // meet real adapters' programs), else "system".
    static QString systemScope();
    explicit AdapterLock(QString scope, Hold hold = Hold::UntilDone, QObject *parent = nullptr);
    ~AdapterLock() override;

    // Takes the lock of the adapter with this key, letting go of the one held so far once it has it
    // (nothing to do when it is held already). Otherwise who holds it, and the lock held so far is
    // kept; a holder that hands over is asked for it, unless this lock is held until asked itself:
    // two services never take an adapter from each other. A lock that cannot be taken for another
    // reason is refused all the same, with the reason as `failure`: an adapter is never used
    // unlocked.
    Result<void, AdapterLockHolder> take(const QString &key);
    void release();
    // The key whose lock is held; empty when none is.
    const QString &key() const { return m_key; }

    // The abstract socket name of the lock, without its leading zero byte.
    static QByteArray nameFor(const QString &scope, const QString &key);

signals:
    // Someone asked for the adapter (only of a lock held until asked). Queued: the receiver may
    // release the lock at once.
    void handOverAsked();

private:
    struct Asker;

    void hold(int socket, const QString &key, const QByteArray &name);
    std::optional<AdapterLockHolder> holderHere(const QByteArray &name) const;
    void acceptAskers();
    void readAsker(int socket);

    QString m_scope;
    Hold m_hold;
    QString m_key;
    QByteArray m_name; // of the lock held
    int m_socket = -1;
    std::unique_ptr<QSocketNotifier> m_listening;
    std::vector<std::unique_ptr<Asker>> m_askers; // connections that may still send a request
};

// What a second program says of the holder: "adapter in use by process 1234 (vestra7 backup x.cfg)".
QString adapterInUseText(const AdapterLockHolder &holder);

} // namespace vestra7
