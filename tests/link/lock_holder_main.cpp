// SPDX-License-Identifier: GPL-3.0-or-later
// A small program that takes one adapter's lock, for tests that need its holder or its asker in
// another process, or run by another user.
//
//   adapter_lock_holder SCOPE KEY until-done|until-asked
//
// Prints "held" once it holds the lock, then "asked" whenever someone asks for the adapter, and
// ends when its standard input does. Refused, it prints "refused", the holder's process id,
// whether it hands over and the words a command would say, tab-separated, and ends with 5.
#include "link/adapter_lock.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <cstring>
#include <unistd.h>

using namespace vestra7;

namespace {

void say(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4)
        return 2;
    const AdapterLock::Hold hold =
        arguments[3] == QLatin1String("until-asked") ? AdapterLock::Hold::UntilAsked : AdapterLock::Hold::UntilDone;
    AdapterLock lock(arguments[1], hold);
    const Result<void, AdapterLockHolder> taken = lock.take(arguments[2]);
    if (!taken) {
        const AdapterLockHolder &holder = taken.error();
        say("refused\t" + QByteArray::number(holder.processId) + '\t' + (holder.handsOver ? "1" : "0") + '\t' +
            adapterInUseText(holder).toUtf8());
        return 5;
    }
    QObject::connect(&lock, &AdapterLock::handOverAsked, [] { say("asked"); });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            QCoreApplication::quit();
    });
    say("held");
    return QCoreApplication::exec();
}
