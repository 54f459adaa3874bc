// SPDX-License-Identifier: GPL-3.0-or-later
// The test's X desktop: Xvfb, openbox, and xdotool, xprop and xwininfo to look and act.
#include "x_desktop.h"

#include "support/gui_wait.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtEndian>

#include <array>
#include <chrono>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

const QStringList kTools = {QStringLiteral("Xvfb"), QStringLiteral("openbox"), QStringLiteral("xdotool"),
                            QStringLiteral("xprop"), QStringLiteral("xwininfo")};

// Tools that hang are ended after this; a loaded machine can take seconds to start one.
constexpr int kToolTimeoutMs = 30000;

// xprop writes a text property in quotes, with '"' and '\' escaped and, outside a UTF-8 locale,
// every byte beyond ASCII as a backslash and three octal digits.
QString unquote(const QString &quoted)
{
    const QByteArray bytes = quoted.toUtf8();
    QByteArray text;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\\' || i + 1 >= bytes.size()) {
            text += bytes[i];
        } else if (i + 3 < bytes.size() && bytes[i + 1] >= '0' && bytes[i + 1] <= '7') {
            text += static_cast<char>(bytes.mid(i + 1, 3).toInt(nullptr, 8));
            i += 3;
        } else {
            text += bytes[++i];
        }
    }
    return QString::fromUtf8(text);
}

int numberAfter(const QString &text, const QString &label)
{
    const QRegularExpression line(QRegularExpression::escape(label) + QStringLiteral(R"(\s*(-?\d+))"));
    return line.match(text).captured(1).toInt();
}

// The XWD header that Xvfb keeps in front of its frame buffer: 25 big-endian 32-bit fields.
enum XwdField {
    kHeaderSize = 0,
    kPixmapWidth = 4,
    kPixmapHeight = 5,
    kByteOrder = 7,
    kBitsPerPixel = 11,
    kBytesPerLine = 12,
    kColourCount = 19,
    kFieldCount = 25,
};
constexpr qsizetype kColourEntrySize = 12;

} // namespace

XDesktop::XDesktop()
    : m_environment(QProcessEnvironment::systemEnvironment())
{
    // The tools and the server have no business with the test's virtual devices.
    m_environment.remove(QStringLiteral("LD_PRELOAD"));
    m_environment.remove(QStringLiteral("UMOCKDEV_DIR"));
    m_server.setProcessEnvironment(m_environment);
    m_server.setStandardErrorFile(m_folder.filePath(QStringLiteral("server.log")));
    m_manager.setProcessChannelMode(QProcess::MergedChannels);
    m_manager.setStandardOutputFile(m_folder.filePath(QStringLiteral("manager.log")));
}

XDesktop::~XDesktop()
{
    for (QProcess *process : {&m_manager, &m_server}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(10000)) {
            process->kill();
            process->waitForFinished();
        }
    }
}

QStringList XDesktop::missingTools()
{
    QStringList missing;
    for (const QString &tool : kTools)
        if (QStandardPaths::findExecutable(tool).isEmpty())
            missing << tool;
    return missing;
}

bool XDesktop::start(QString *why)
{
    if (!m_folder.isValid()) {
        *why = QStringLiteral("no folder for the frame buffer");
        return false;
    }
    // The server picks a free display and writes its number to standard output. Its frame buffer is
    // kept as a file, the screen a test reads; at 96 dpi one pixel stays one pixel for Qt. Without
    // -noreset the server resets whenever its last client leaves, and turns away whoever connects
    // meanwhile: the window manager then failed to start in about one run of five.
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                    QStringLiteral("1280x1024x24"), QStringLiteral("-dpi"), QStringLiteral("96"),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset"),
                    QStringLiteral("-fbdir"), m_folder.path()});
    QByteArray number;
    while (!number.endsWith('\n') && m_server.waitForReadyRead(kToolTimeoutMs))
        number += m_server.readAllStandardOutput();
    if (!number.endsWith('\n')) {
        *why = QStringLiteral("the X server did not start:\n") + log();
        return false;
    }
    m_display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    m_environment.insert(QStringLiteral("DISPLAY"), m_display);

    m_manager.setProcessEnvironment(m_environment);
    m_manager.start(QStringLiteral("openbox"), {});
    if (!waitUntil([this] { return managerRuns() || m_manager.state() == QProcess::NotRunning; }, 60s) ||
        !managerRuns()) {
        *why = QStringLiteral("the window manager did not start on %4 (state %1, exit %2, %3, server %5):\n")
                   .arg(m_manager.state())
                   .arg(m_manager.exitCode())
                   .arg(m_manager.errorString(), m_display)
                   .arg(m_server.state()) +
               log();
        return false;
    }
    return true;
}

bool XDesktop::managerRuns() const
{
    return run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
        .contains(QLatin1String("window id"));
}

std::vector<XWindow> XDesktop::windowsOf(qint64 pid, Kind kind) const
{
    std::vector<XWindow> windows;
    const QString found = run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                          QStringLiteral("--pid"), QString::number(pid)});
    for (const QString &id : found.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const auto window = static_cast<XWindow>(id.toULong());
        const QString type =
            run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), QStringLiteral("-notype"),
                                          QStringLiteral("_NET_WM_WINDOW_TYPE")});
        // The first type named is the one the window means; the others are fall-backs.
        static const QRegularExpression ordinary(QStringLiteral(R"(= _NET_WM_WINDOW_TYPE_(NORMAL|DIALOG)\b)"));
        static const QRegularExpression menu(QStringLiteral(R"(= _NET_WM_WINDOW_TYPE_(DROPDOWN_MENU|POPUP_MENU)\b)"));
        bool isMenu = menu.match(type).hasMatch();
        bool isOrdinary = ordinary.match(type).hasMatch();
        // Qt names a menu it shows a second time an ordinary window; that it bypasses the window
        // manager still tells it from one.
        if (isOrdinary && bypassesManager(window)) {
            isOrdinary = false;
            isMenu = true;
        }
        if (kind == Kind::Window ? isOrdinary : isMenu)
            windows.push_back(window);
    }
    return windows;
}

bool XDesktop::bypassesManager(XWindow window) const
{
    return run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)})
        .contains(QLatin1String("Override Redirect State: yes"));
}

QString XDesktop::title(XWindow window) const
{
    const QString property = run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                                           QStringLiteral("-notype"), QStringLiteral("_NET_WM_NAME")});
    const qsizetype first = property.indexOf(QLatin1Char('"'));
    const qsizetype last = property.lastIndexOf(QLatin1Char('"'));
    if (first < 0 || last <= first)
        return {};
    return unquote(property.mid(first + 1, last - first - 1));
}

XWindow XDesktop::focus() const
{
    return static_cast<XWindow>(run(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")}).trimmed().toULong());
}

QRect XDesktop::geometry(XWindow window) const
{
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    return {numberAfter(info, QStringLiteral("Absolute upper-left X:")),
            numberAfter(info, QStringLiteral("Absolute upper-left Y:")), numberAfter(info, QStringLiteral("Width:")),
            numberAfter(info, QStringLiteral("Height:"))};
}

QImage XDesktop::grab(const QRect &area) const
{
    QFile buffer(m_folder.filePath(QStringLiteral("Xvfb_screen0")));
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = buffer.readAll();
    if (content.size() < kFieldCount * 4)
        return {};
    std::array<quint32, kFieldCount> header{};
    for (std::size_t i = 0; i < header.size(); ++i)
        header[i] = qFromBigEndian<quint32>(content.constData() + i * 4);
    // The screen was made with 24 bits of colour in 32-bit pixels; in the machine's byte order,
    // least significant first, that is Qt's RGB32.
    const qsizetype pixels = header[kHeaderSize] + header[kColourCount] * kColourEntrySize;
    const auto width = static_cast<int>(header[kPixmapWidth]);
    const auto height = static_cast<int>(header[kPixmapHeight]);
    const auto bytesPerLine = static_cast<qsizetype>(header[kBytesPerLine]);
    if (header[kBitsPerPixel] != 32 || header[kByteOrder] != 0 || content.size() < pixels + bytesPerLine * height)
        return {};
    const QImage screen(reinterpret_cast<const uchar *>(content.constData() + pixels), width, height, bytesPerLine,
                        QImage::Format_RGB32);
    return screen.copy(area);
}

void XDesktop::click(const QPoint &point) const
{
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(point.x()),
                                    QString::number(point.y()), QStringLiteral("click"), QStringLiteral("1")});
}

void XDesktop::moveMouse(const QPoint &point) const
{
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(point.x()),
                                    QString::number(point.y())});
}

void XDesktop::moveWindow(XWindow window, const QPoint &point) const
{
    run(QStringLiteral("xdotool"), {QStringLiteral("windowmove"), QStringLiteral("--sync"), QString::number(window),
                                    QString::number(point.x()), QString::number(point.y())});
}

void XDesktop::pressKey(const QString &key) const
{
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), key});
}

void XDesktop::type(const QString &text) const
{
    run(QStringLiteral("xdotool"), {QStringLiteral("type"), text});
}

QString XDesktop::log() const
{
    QString text;
    for (const QString &name : {QStringLiteral("server.log"), QStringLiteral("manager.log")}) {
        QFile file(m_folder.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            text += name + QStringLiteral(":\n") + QString::fromLocal8Bit(file.readAll());
    }
    return text;
}

QString XDesktop::run(const QString &tool, const QStringList &arguments) const
{
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.start(tool, arguments);
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace vestra7
