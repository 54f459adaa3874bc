// SPDX-License-Identifier: GPL-3.0-or-later
// A run of the lock-holding helper program, for tests of locks between processes and users.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

namespace vestra7 {

// adapter_lock_holder (tests/link/lock_holder_main.cpp) in a process of its own, run as this user
// or through a prefix that runs it as another ("setpriv --reuid ..."). Waits run the event loop,
// so that a lock this process holds answers meanwhile.
class LockHolderProcess
{
public:
    explicit LockHolderProcess(QString program, QStringList prefix = {});
    ~LockHolderProcess();

    LockHolderProcess(const LockHolderProcess &) = delete;
    LockHolderProcess &operator=(const LockHolderProcess &) = delete;

    // Starts it on the lock of `key` in `scope`, held "until-done" or "until-asked", and returns its
    // first line: "held", or "refused\t<pid>\t<hands over: 1 or 0>\t<words>"; empty if none came.
    QByteArray start(const QString &scope, const QString &key, const char *hold);
    // Whether it says this line, waited for a few seconds.
    bool says(const QByteArray &line);
    qint64 processId() const { return m_process.processId(); }
    // Closes its input and waits for its end: its exit code, -1 when it did not end normally.
    int finish();

private:
    QByteArray nextLine();

    QString m_program;
    QStringList m_prefix;
    QProcess m_process;
};

} // namespace vestra7
