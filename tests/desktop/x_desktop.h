// SPDX-License-Identifier: GPL-3.0-or-later
// An X desktop of a test's own: a virtual X server with a window manager, and the X tools that read
// its windows as the desktop shows them and act on them as a person does.
#pragma once

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <vector>

namespace vestra7 {

// An X window id.
using XWindow = std::uint32_t;

class XDesktop final
{
public:
    XDesktop();
    ~XDesktop();

    XDesktop(const XDesktop &) = delete;
    XDesktop &operator=(const XDesktop &) = delete;

    // The programs it needs that are not installed.
    static QStringList missingTools();

    // Starts the X server and the window manager and waits until the manager runs; false with the
    // reason in `why` when that did not happen.
    bool start(QString *why);
    // ":N", for DISPLAY.
    QString display() const { return m_display; }

    enum class Kind { Window, Menu };
    // The mapped top-level windows of a process, by the process id they carry: its ordinary windows
    // and dialogs, or its open menus.
    std::vector<XWindow> windowsOf(qint64 pid, Kind kind = Kind::Window) const;
    // The title as the desktop shows it: the window's _NET_WM_NAME.
    QString title(XWindow window) const;
    // The window that has the keyboard focus; 0 when none.
    XWindow focus() const;
    // The window's inside, without the manager's frame, in screen coordinates.
    QRect geometry(XWindow window) const;
    // What the screen shows in `area`, read from the server's frame buffer.
    QImage grab(const QRect &area) const;

    // A click of the left mouse button at a point of the screen.
    void click(const QPoint &point) const;
    // The mouse put where it points at nothing a test looks at.
    void moveMouse(const QPoint &point) const;
    // The window moved, as a person drags it, to a point of the screen.
    void moveWindow(XWindow window, const QPoint &point) const;
    // A key pressed and released in the focused window, by its X name ("Return", "Escape"), or a
    // chord of them ("ctrl+l").
    void pressKey(const QString &key) const;
    // Text typed into the focused window, key by key.
    void type(const QString &text) const;

    // The server's and the manager's messages, for a failure report.
    QString log() const;

private:
    QString run(const QString &tool, const QStringList &arguments) const;
    bool managerRuns() const;
    // Whether the window is one that the window manager does not frame or place: a popup.
    bool bypassesManager(XWindow window) const;

    QTemporaryDir m_folder;
    QProcessEnvironment m_environment;
    QString m_display;
    QProcess m_server;
    QProcess m_manager;
};

} // namespace vestra7
