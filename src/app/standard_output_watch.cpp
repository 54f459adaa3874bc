// SPDX-License-Identifier: GPL-3.0-or-later
// A terminal's size and a pipe's reader, watched on the GUI thread's event loop.
#include "app/standard_output_watch.h"

#include <QSocketNotifier>

#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

namespace vestra7 {

StandardOutputWatch::StandardOutputWatch(int handle, bool terminal)
    : m_handle(handle)
{
    m_pipeAction = ::signal(SIGPIPE, SIG_IGN);
    if (terminal) {
        m_resizes = std::make_unique<SignalPipe>(std::initializer_list<int>{SIGWINCH}, [this](int) { emit resized(); });
        return;
    }
    struct stat status = {};
    if (handle < 0 || ::fstat(handle, &status) != 0 || !(S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)))
        return;
    // Asked for nothing, poll() still reports the error of a pipe without a reader; the event loop asks
    // for reading, which a pipe's writing end never has to offer, and so wakes only for that.
    m_reader = std::make_unique<QSocketNotifier>(handle, QSocketNotifier::Read);
    connect(m_reader.get(), &QSocketNotifier::activated, this, &StandardOutputWatch::lookAtReader);
}

StandardOutputWatch::~StandardOutputWatch()
{
    ::signal(SIGPIPE, m_pipeAction == SIG_ERR ? SIG_DFL : m_pipeAction);
}

int StandardOutputWatch::columns() const
{
    struct winsize size = {};
    if (m_handle < 0 || ::ioctl(m_handle, TIOCGWINSZ, &size) != 0)
        return 0;
    return size.ws_col;
}

void StandardOutputWatch::lookAtReader()
{
    pollfd output{m_handle, 0, 0};
    const bool gone = ::poll(&output, 1, 0) == 1 && (output.revents & (POLLERR | POLLHUP)) != 0;
    // A socket may have something to read too; it is not looked at again, not to wake for that forever.
    m_reader->setEnabled(false);
    if (!gone)
        return;
    m_readerGone = true;
    emit readerLeft();
}

} // namespace vestra7
