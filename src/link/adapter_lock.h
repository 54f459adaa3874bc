// SPDX-License-Identifier: GPL-3.0-or-later
// The lock that makes one program at a time the user of an adapter, across processes and users.
#pragma once

#include <QString>

#include <optional>

// Who holds an adapter, as its lock file says.
struct AdapterLockHolder
{
    qint64 processId = 0; // 0 when the file does not say (yet)
    QString program;      // the holder's command line, as it was started
    QString failure;      // why the lock could not be taken, when nobody holds it: the system's words
};

// One lock file per adapter key, "vestra7-<key>.lock", locked with flock() for as long as this
// program uses the adapter, and holding the process id and the command line of the holder. The
// folder is one that every local user and a system service can write to, with the sticky bit set
// (/run/lock), so that nobody but its owner may remove or replace a lock file; the files are
// readable and writable by all, since whoever holds the lock writes its name into them. The kernel
// lets go of the lock when the process ends, however it ends, so a file left behind locks nothing.
//
// The file is lines of "name=value", of which unknown names are ignored: a holder that hands the
// adapter over on request (a service watching it, say) can add a line saying how to ask it,
// without a program that reads the file today taking it wrongly.
class AdapterLock
{
public:
    // The folder of the lock files: $VESTRA7_LOCK_DIR when set, else /run/lock, else /tmp.
    static QString systemFolder();
    // The file names this process by its command line.
    explicit AdapterLock(QString folder);
    ~AdapterLock();

    AdapterLock(const AdapterLock &) = delete;
    AdapterLock &operator=(const AdapterLock &) = delete;

    // Takes the lock of the adapter with this key, letting go of the one held so far once it has it.
    // Nothing when it is taken (or already held); otherwise who holds it, and the lock held so far
    // is kept. A lock that cannot be taken for another reason (no such folder, a file that is not
    // a regular one) is refused all the same, with the reason: an adapter is never used unlocked.
    std::optional<AdapterLockHolder> take(const QString &key);
    void release();
    // The key whose lock is held; empty when none is.
    const QString &key() const { return m_key; }

    // The file for this key in `folder`.
    static QString fileFor(const QString &folder, const QString &key);

private:
    QString m_folder;
    QString m_key;
    int m_fd = -1;
};

// What a second program says of the holder: "adapter in use by process 1234 (vestra7 backup x.cfg)".
QString adapterInUseText(const AdapterLockHolder &holder);
