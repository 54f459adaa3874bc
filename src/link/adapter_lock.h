// SPDX-License-Identifier: GPL-3.0-or-later
// The lock that makes one program at a time the user of an adapter, across processes and users, and
// the request by which a holder that hands it over is asked for it.
#pragma once

#include "model/result.h"

#include <QString>

#include <chrono>

namespace vestra7 {

// Who holds an adapter, as its lock file says.
struct AdapterLockHolder
{
    qint64 processId = 0;   // 0 when the file does not say (yet)
    QString program;        // the holder's command line, as it was started
    bool handsOver = false; // lets go of the adapter when asked (see AdapterLock::Hold)
    QString failure;        // why the lock could not be taken, when nobody holds it: the system's words
};

// One lock file per adapter key, "vestra7-<key>.lock", locked with flock() for as long as this
// program uses the adapter, and holding the process id and the command line of the holder. The
// folder is one that every local user and a system service can write to, with the sticky bit set
// (/run/lock), so that nobody but its owner may remove or replace a lock file; the files are
// readable and writable by all, since whoever holds the lock writes its name into them. The kernel
// lets go of the lock when the process ends, however it ends, so a file left behind locks nothing.
//
// The file is lines of "name=value", of which unknown names are ignored. A holder that watches the
// adapter only (a service) says "handover=request": whoever finds it so wants the adapter for a
// person and leaves a request beside the lock, "vestra7-<key>.request", touching it at every try.
// The holder looks for a fresh request, lets go, and takes the adapter back only once the request
// has gone stale and the lock is free. A service and a desktop user cannot signal each other's
// processes, but both may write to the lock folder; hence a file, and its time as the request.
class AdapterLock
{
public:
    // How the lock is held: until the program is done with the adapter (the window, a command), or
    // until someone asks for it (a service that only watches).
    enum class Hold { UntilDone, UntilAsked };

    // A request counts this long after it was last made: the asker renews it at every try (every
    // 500 ms), so one that is older has been answered or given up.
    static constexpr std::chrono::milliseconds kRequestLifetime{2000};
    // How often a holder that hands over looks for a request: together with the asker's next try,
    // the adapter changes hands within a second.
    static constexpr std::chrono::milliseconds kRequestCheck{250};
    // How long a command waits for a holder that hands over, before it says the adapter is in use.
    static constexpr std::chrono::milliseconds kHandOverWait{3000};

    // The folder of the lock files: $VESTRA7_LOCK_DIR when set, else /run/lock, else /tmp.
    static QString systemFolder();
    // The file names this process by its command line.
    explicit AdapterLock(QString folder, Hold hold = Hold::UntilDone);
    ~AdapterLock();

    AdapterLock(const AdapterLock &) = delete;
    AdapterLock &operator=(const AdapterLock &) = delete;

    // Takes the lock of the adapter with this key, letting go of the one held so far once it has it
    // (nothing to do when it is held already). Otherwise who holds it, and the lock held so far is
    // kept; a holder that hands over is asked for it, unless this lock is held until asked itself:
    // two services never take an adapter from each other. A lock that cannot be taken for another
    // reason (no such folder, a file that is not a regular one) is refused all the same, with the
    // reason: an adapter is never used unlocked.
    Result<void, AdapterLockHolder> take(const QString &key);
    void release();
    // The key whose lock is held; empty when none is.
    const QString &key() const { return m_key; }

    // Whether someone has asked for the adapter with this key within the request's lifetime.
    bool handOverAsked(const QString &key) const;

    // The files for this key in `folder`.
    static QString fileFor(const QString &folder, const QString &key);
    static QString requestFileFor(const QString &folder, const QString &key);

private:
    void askHandOver(const QString &key) const;

    QString m_folder;
    Hold m_hold;
    QString m_key;
    int m_fd = -1;
};

// What a second program says of the holder: "adapter in use by process 1234 (vestra7 backup x.cfg)".
QString adapterInUseText(const AdapterLockHolder &holder);

} // namespace vestra7
