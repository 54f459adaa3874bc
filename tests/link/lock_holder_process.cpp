// SPDX-License-Identifier: GPL-3.0-or-later
// Running the lock-holding helper program and reading what it says.
#include "lock_holder_process.h"

#include "support/gui_wait.h"

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

constexpr auto kWait = 10s;

} // namespace

LockHolderProcess::LockHolderProcess(QString program, QStringList prefix)
    : m_program(std::move(program))
    , m_prefix(std::move(prefix))
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

LockHolderProcess::~LockHolderProcess()
{
    if (m_process.state() != QProcess::NotRunning && finish() < 0)
        m_process.kill();
}

QByteArray LockHolderProcess::start(const QString &scope, const QString &key, const char *hold)
{
    QStringList arguments = m_prefix;
    arguments << m_program << scope << key << QString::fromLatin1(hold);
    m_process.start(arguments.takeFirst(), arguments);
    return nextLine();
}

bool LockHolderProcess::says(const QByteArray &line)
{
    for (QByteArray said = nextLine(); !said.isEmpty(); said = nextLine())
        if (said == line)
            return true;
    return false;
}

int LockHolderProcess::finish()
{
    m_process.closeWriteChannel();
    if (!waitUntil([this] { return m_process.state() == QProcess::NotRunning; }, kWait))
        return -1;
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

QByteArray LockHolderProcess::nextLine()
{
    waitUntil([this] { return m_process.canReadLine() || m_process.state() == QProcess::NotRunning; }, kWait);
    return m_process.readLine().trimmed();
}

} // namespace vestra7
