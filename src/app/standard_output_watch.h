// SPDX-License-Identifier: GPL-3.0-or-later
// What `status --watch` learns of its standard output besides writing to it.
#pragma once

#include "app/signal_pipe.h"

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace vestra7 {

// On a terminal, its width as the terminal reports it, and each change of it (SIGWINCH); on a pipe or
// a socket, that its reader has gone, which shows before anything is written. While one exists a
// write to a reader that has gone fails instead of ending the process with SIGPIPE.
class StandardOutputWatch final : public QObject
{
    Q_OBJECT

public:
    StandardOutputWatch(int handle, bool terminal);
    ~StandardOutputWatch() override;

    // The terminal's columns; 0 when they are not known.
    int columns() const;
    bool readerGone() const { return m_readerGone; }

signals:
    void resized();
    void readerLeft();

private:
    void lookAtReader();

    int m_handle;
    std::unique_ptr<SignalPipe> m_resizes;
    std::unique_ptr<QSocketNotifier> m_reader;
    bool m_readerGone = false;
    void (*m_pipeAction)(int) = nullptr;
};

} // namespace vestra7
