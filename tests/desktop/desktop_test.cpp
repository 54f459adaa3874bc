// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a person meets it on an X desktop: vestra7 on the xcb platform under a
// window manager, the emulated adapter behind a virtual hidraw node, the menu clicked where it shows
// its entries, and each window read by the title and the focus the desktop gives it.
#include "menu_bar_picture.h"
#include "x_desktop.h"

#include "sim/emulated_adapter.h"
#include "support/gui_wait.h"
#include "support/virtual_hidraw.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <ostream>

// Readable texts in failure messages.
void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

using namespace std::chrono_literals;

// The menu bar's entries, left to right.
const QStringList kMenu = {QStringLiteral("File"),     QStringLiteral("Update firmware"),
                           QStringLiteral("Settings"), QStringLiteral("Set to default"),
                           QStringLiteral("About"),    QStringLiteral("Help"),
                           QStringLiteral("Tools")};

// "Close" of the update window, at the place its layout gives it: left 10, top 10, 247 x 25.
const QPoint kUpdateWindowClose(10 + 247 / 2, 10 + 25 / 2);

// A loaded machine can take long to start a program or to map a window: these are only upper bounds.
constexpr auto kStartTime = 120s;
constexpr auto kReactionTime = 60s;

class Desktop : public testing::Test
{
protected:
    void SetUp() override
    {
        QStringList missing = XDesktop::missingTools();
        if (!VirtualHidraw::isAvailable())
            missing << QStringLiteral("umockdev-wrapper");
        if (!missing.isEmpty()) {
            const std::string needs = "needs " + missing.join(QStringLiteral(", ")).toStdString();
            if (qEnvironmentVariableIsSet("CI"))
                FAIL() << needs << ", which the build machine installs (tools/dev.sh)";
            GTEST_SKIP() << needs;
        }
        ASSERT_TRUE(folder.isValid());
        QString why;
        ASSERT_TRUE(desktop.start(&why)) << why.toStdString();

        hidraw = std::make_unique<VirtualHidraw>();
        adapter->setUsbTiming(true);
        hidraw->plug(adapter);

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("DISPLAY"), desktop.display());
        environment.insert(QStringLiteral("UMOCKDEV_DIR"), hidraw->rootDir());
        // The titles and menu entries looked for are the English ones, whatever the machine's language,
        // unless a test asks for another.
        environment.insert(QStringLiteral("LC_ALL"), locale());
        environment.insert(QStringLiteral("LANG"), locale());
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.setStandardOutputFile(folder.filePath(QStringLiteral("program.log")));
        program.start(QStringLiteral(VESTRA7_PROGRAM), {});
        ASSERT_TRUE(program.waitForStarted()) << program.errorString().toStdString();
    }

    virtual QString locale() const { return QStringLiteral("C"); }

    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.terminate();
            if (!program.waitForFinished(30000)) {
                program.kill();
                program.waitForFinished();
            }
        }
        // The program lets go of the node before it goes.
        hidraw.reset();
    }

    // Waits until the program shows a window that `which` accepts; 0 when none came in time.
    XWindow waitForWindow(const std::function<bool(XWindow)> &which, std::chrono::milliseconds timeout)
    {
        XWindow found = 0;
        waitUntil(
            [&] {
                for (XWindow window : desktop.windowsOf(program.processId()))
                    if (which(window))
                        found = window;
                return found != 0 || program.state() == QProcess::NotRunning;
            },
            timeout);
        return found;
    }

    bool waitGone(XWindow window)
    {
        return waitUntil(
            [&] {
                const std::vector<XWindow> shown = desktop.windowsOf(program.processId());
                return std::find(shown.begin(), shown.end(), window) == shown.end();
            },
            kReactionTime);
    }

    // What the program shows, for a failure message.
    std::string shownWindows()
    {
        std::string text = "the program's windows:";
        for (XWindow window : desktop.windowsOf(program.processId()))
            text += " \"" + desktop.title(window).toStdString() + '"';
        if (program.state() == QProcess::NotRunning)
            text += " (it has ended)";
        return text;
    }

    // Clicks the menu entry where the main window shows it, once every entry is there to be seen.
    void choose(const QString &entry)
    {
        std::vector<QRect> entries;
        const QRect inside = desktop.geometry(mainWindow);
        ASSERT_TRUE(waitUntil(
            [&] {
                entries = menuBarEntries(desktop.grab(inside), static_cast<int>(kMenu.size()));
                return !entries.empty();
            },
            kReactionTime))
            << "the menu bar does not show " << kMenu.size() << " entries";
        const auto index = static_cast<std::size_t>(kMenu.indexOf(entry));
        desktop.click(inside.topLeft() + entries.at(index).center());
    }

    // Chooses the menu entry (and in the menu it opens, the entry of the mnemonic `key`), expects a
    // window with exactly `title` with the keyboard focus, and leaves it with `leave`.
    void visit(const QString &entry, const QString &title, const std::function<void(XWindow)> &leave,
               const QString &key = {})
    {
        SCOPED_TRACE(entry.toStdString());
        choose(entry);
        if (!key.isEmpty()) {
            // A key pressed before the menu is up would go to the main window.
            ASSERT_TRUE(waitUntil([&] { return !desktop.windowsOf(program.processId(), XDesktop::Kind::Menu).empty(); },
                                  kReactionTime))
                << "the menu did not open";
            desktop.pressKey(key);
        }
        const XWindow shown = waitForWindow([&](XWindow window) { return window != mainWindow; }, kReactionTime);
        ASSERT_NE(shown, 0u) << "no window came up; " << shownWindows();
        // Qt may map the window before its title is set.
        waitUntil([&] { return !desktop.title(shown).isEmpty(); }, kReactionTime);
        EXPECT_EQ(desktop.title(shown), title);
        EXPECT_TRUE(waitUntil([&] { return desktop.focus() == shown; }, kReactionTime))
            << "the focus is on \"" << desktop.title(desktop.focus()).toStdString() << '"';
        leave(shown);
        EXPECT_TRUE(waitGone(shown)) << shownWindows();
    }

    QTemporaryDir folder;
    XDesktop desktop;
    std::unique_ptr<VirtualHidraw> hidraw;
    // Named as a two-line adapter of the family is: unlike the default name, not what the main
    // window shows before it has found an adapter.
    std::shared_ptr<EmulatedAdapter> adapter = std::make_shared<EmulatedAdapter>(
        EmulatedIdentity{QStringLiteral("TARNIX"), QStringLiteral("VESTRA7-2L"), QStringLiteral("VESTRA7-2L (boot)"),
                         QStringLiteral("V7-2041-000117"), 0x0102});
    QProcess program;
    XWindow mainWindow = 0;
};

TEST_F(Desktop, EveryWindowShowsItsOwnTitleAndABoxTakesTheFocus)
{
    const QString product = adapter->identity().product;
    mainWindow = waitForWindow([&](XWindow window) { return desktop.title(window) == product; }, kStartTime);
    ASSERT_NE(mainWindow, 0u) << "no window titled \"" << product.toStdString() << "\"; " << shownWindows();

    visit(QStringLiteral("About"), QStringLiteral("Information"),
          [&](XWindow) { desktop.pressKey(QStringLiteral("Return")); });
    // Escape is "Cancel": the adapter's settings stay as they are.
    visit(QStringLiteral("Set to default"), QStringLiteral("Confirm"),
          [&](XWindow) { desktop.pressKey(QStringLiteral("Escape")); });
    // "Tools" > "Backups…" is a window of its own.
    visit(
        QStringLiteral("Tools"), QStringLiteral("Backups"),
        [&](XWindow) { desktop.pressKey(QStringLiteral("Escape")); }, QStringLiteral("b"));

    visit(QStringLiteral("Update firmware"), QStringLiteral("Update FW"), [&](XWindow window) {
        // While the window is open the adapter is asked into its boot loader. "Close" tells the boot
        // loader to start the firmware again once the program has found it, as the main window's title
        // shows; pressed before, it finds no boot loader to tell, and the adapter stays in it.
        EXPECT_TRUE(adapter->waitFor([](const AdapterState &state) { return state.bootMode; }, kReactionTime));
        const QString bootName = adapter->identity().bootProduct;
        EXPECT_TRUE(waitUntil([&] { return desktop.title(mainWindow) == bootName; }, kReactionTime))
            << "the main window is titled \"" << desktop.title(mainWindow).toStdString() << '"';
        desktop.click(desktop.geometry(window).topLeft() + kUpdateWindowClose);
    });

    // Back in its firmware, the adapter names the main window again.
    EXPECT_TRUE(waitUntil([&] { return desktop.title(mainWindow) == product; }, kReactionTime))
        << "the main window is titled \"" << desktop.title(mainWindow).toStdString() << '"';
}

class RussianDesktop : public Desktop
{
protected:
    QString locale() const override { return QStringLiteral("ru_RU.UTF-8"); }
};

// At the window's fixed width the Russian menu bar shows all its entries, with nothing in an overflow:
// its last entry, "Tools", opens its own menu of at least three entries (Backups, Import contacts,
// Export contacts), not the overflow's list of what did not fit.
TEST_F(RussianDesktop, TheWholeMenuBarIsInSightAndItsLastEntryOpensItsOwnMenu)
{
    const QString product = adapter->identity().product;
    mainWindow = waitForWindow([&](XWindow window) { return desktop.title(window) == product; }, kStartTime);
    ASSERT_NE(mainWindow, 0u) << "no window titled \"" << product.toStdString() << "\"; " << shownWindows();
    choose(QStringLiteral("Tools"));
    std::vector<XWindow> menus;
    ASSERT_TRUE(waitUntil(
        [&] {
            menus = desktop.windowsOf(program.processId(), XDesktop::Kind::Menu);
            return !menus.empty();
        },
        kReactionTime))
        << "no menu opened";
    int lines = 0;
    EXPECT_TRUE(waitUntil(
        [&] {
            // Inside the menu's frame, whose edges may be drawn dark.
            lines = textLines(desktop.grab(desktop.geometry(menus.front()).adjusted(3, 3, -3, -3)));
            return lines >= 3;
        },
        kReactionTime))
        << "the menu shows " << lines << " entries";
    desktop.pressKey(QStringLiteral("Escape"));
}

} // namespace
