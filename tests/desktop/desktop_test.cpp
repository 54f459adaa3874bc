// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a person meets it on an X desktop: vestra7 on the xcb platform under a
// window manager, the emulated adapter behind a virtual hidraw node, the menu clicked where it shows
// its entries, and each window read by the title and the focus the desktop gives it.
#include "menu_bar_picture.h"
#include "x_desktop.h"

#include "model/ansi_codec.h"
#include "sim/emulated_adapter.h"
#include "support/gui_wait.h"
#include "support/record_builders.h"
#include "support/virtual_hidraw.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>
#include <utility>

namespace vestra7 {

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

// "Анна" in windows-1251, "Àííà" in windows-1252.
constexpr std::string_view kCodePageName = "\xC0\xED\xED\xE0";

// As long as a person takes to read a window before answering it.
constexpr auto kPause = 1s;

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
        DeviceRecord record = initialAdapterRecord();
        // A name whose bytes read as different letters in different code pages.
        record.contact[0] = makeParty(kCodePageName, "+79035554411");
        adapter->setRecord(record);
        adapter->setUsbTiming(true);
        hidraw->plug(adapter);

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("DISPLAY"), desktop.display());
        environment.insert(QStringLiteral("UMOCKDEV_DIR"), hidraw->rootDir());
        // What the program remembers (the code page chosen for an adapter, backups) stays in the test.
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.filePath(QStringLiteral("data")));
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

    // Opens a menu of the menu bar, and in it, the entry of the mnemonic `key`.
    void openMenu(const QString &entry, const QString &key)
    {
        choose(entry);
        // A key pressed before the menu is up would go to the main window.
        ASSERT_TRUE(waitUntil([&] { return !desktop.windowsOf(program.processId(), XDesktop::Kind::Menu).empty(); },
                              kReactionTime))
            << "the menu did not open";
        desktop.pressKey(key);
    }

    // Waits until the main window shows, titled with the adapter's product name once it has found it.
    void findMainWindow()
    {
        const QString product = adapter->identity().product;
        mainWindow = waitForWindow([&](XWindow window) { return desktop.title(window) == product; }, kStartTime);
        ASSERT_NE(mainWindow, 0u) << "no window titled \"" << product.toStdString() << "\"; " << shownWindows();
    }

    bool hasFocus(XWindow window)
    {
        return waitUntil([&] { return desktop.focus() == window; }, kReactionTime);
    }

    std::string focusText() { return "the focus is on \"" + desktop.title(desktop.focus()).toStdString() + '"'; }

    // Brings up a window with `open` and expects it titled exactly `title`, with the keyboard focus;
    // 0 when no new window came up.
    XWindow bringUp(const std::function<void()> &open, const QString &title)
    {
        const std::vector<XWindow> before = desktop.windowsOf(program.processId());
        open();
        const XWindow shown = waitForWindow(
            [&](XWindow window) { return std::find(before.begin(), before.end(), window) == before.end(); },
            kReactionTime);
        if (shown == 0) {
            ADD_FAILURE() << "no window came up; " << shownWindows();
            return 0;
        }
        // Qt may map the window before its title is set.
        waitUntil([&] { return !desktop.title(shown).isEmpty(); }, kReactionTime);
        EXPECT_EQ(desktop.title(shown), title);
        EXPECT_TRUE(hasFocus(shown)) << focusText();
        return shown;
    }

    // Leaves `window` with `leave`, and expects it gone and the focus back in `back`.
    void leaveFor(XWindow window, const std::function<void(XWindow)> &leave, XWindow back)
    {
        leave(window);
        EXPECT_TRUE(waitGone(window)) << shownWindows();
        EXPECT_TRUE(hasFocus(back)) << focusText();
    }

    // Acts in `window` as a person does: only once it has held the focus for the pause it takes to
    // read it.
    void answerAfterPause(XWindow window, const std::function<void()> &answer)
    {
        QElapsedTimer held;
        held.start();
        EXPECT_TRUE(waitUntil(
            [&] {
                if (desktop.focus() != window)
                    held.restart();
                return held.elapsed() >= std::chrono::milliseconds(kPause).count();
            },
            kReactionTime))
            << focusText();
        answer();
    }

    // Ways a person brings up a window, and leaves it.
    std::function<void()> fromMenu(const QString &entry, const QString &key = {})
    {
        return [this, entry, key] {
            if (key.isEmpty())
                choose(entry);
            else
                openMenu(entry, key);
        };
    }
    std::function<void()> byKeys(const QString &chord)
    {
        return [this, chord] {
            desktop.pressKey(chord);
        };
    }
    std::function<void(XWindow)> leaveByKey(const QString &key)
    {
        return [this, key](XWindow) {
            desktop.pressKey(key);
        };
    }

    // What the program shows in `area` once it has held still for as long as a person looks before
    // taking it in: a record read on the way may still change it after a first redraw.
    QImage steadyPicture(const QRect &area)
    {
        QImage now;
        QElapsedTimer still;
        still.start();
        EXPECT_TRUE(waitUntil(
            [&] {
                const QImage last = std::exchange(now, desktop.grab(area));
                if (now.isNull() || now != last)
                    still.restart();
                return still.elapsed() >= std::chrono::milliseconds(kPause).count();
            },
            kReactionTime))
            << "the screen did not settle";
        return now;
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

TEST_F(Desktop, EveryWindowShowsItsOwnTitleTakesTheFocusAndGivesItBack)
{
    ASSERT_NO_FATAL_FAILURE(findMainWindow());
    const QString product = adapter->identity().product;

    const auto closeUpdateWindow = [&](XWindow window) {
        // While the window is open the adapter is asked into its boot loader. "Close" tells the boot
        // loader to start the firmware again once the program has found it, as the main window's title
        // shows; pressed before, it finds no boot loader to tell, and the adapter stays in it.
        EXPECT_TRUE(adapter->waitFor([](const AdapterState &state) { return state.bootMode; }, kReactionTime));
        const QString bootName = adapter->identity().bootProduct;
        EXPECT_TRUE(waitUntil([&] { return desktop.title(mainWindow) == bootName; }, kReactionTime))
            << "the main window is titled \"" << desktop.title(mainWindow).toStdString() << '"';
        desktop.click(desktop.geometry(window).topLeft() + kUpdateWindowClose);
    };
    struct Visit
    {
        const char *how;
        std::function<void()> open;
        QString title;
        std::function<void(XWindow)> leave;
    };
    const Visit visits[] = {
        {"About", fromMenu(QStringLiteral("About")), QStringLiteral("Information"),
         leaveByKey(QStringLiteral("Return"))},
        // Escape is "Cancel": the adapter's settings stay as they are.
        {"Set to default", fromMenu(QStringLiteral("Set to default")), QStringLiteral("Confirm"),
         leaveByKey(QStringLiteral("Escape"))},
        {"Tools > Backups…", fromMenu(QStringLiteral("Tools"), QStringLiteral("b")), QStringLiteral("Backups"),
         leaveByKey(QStringLiteral("Escape"))},
        // A window that stays beside the main one, not a box: Escape still closes it.
        {"Tools > Line status…", fromMenu(QStringLiteral("Tools"), QStringLiteral("l")), QStringLiteral("Line status"),
         leaveByKey(QStringLiteral("Escape"))},
        {"Ctrl+L", byKeys(QStringLiteral("ctrl+l")), QStringLiteral("Line status"),
         leaveByKey(QStringLiteral("Escape"))},
        {"Update firmware", fromMenu(QStringLiteral("Update firmware")), QStringLiteral("Update FW"),
         closeUpdateWindow},
    };
    for (const Visit &visit : visits) {
        SCOPED_TRACE(visit.how);
        const XWindow shown = bringUp(visit.open, visit.title);
        ASSERT_NE(shown, 0u);
        leaveFor(shown, visit.leave, mainWindow);
    }

    // Back in its firmware, the adapter names the main window again.
    EXPECT_TRUE(waitUntil([&] { return desktop.title(mainWindow) == product; }, kReactionTime))
        << "the main window is titled \"" << desktop.title(mainWindow).toStdString() << '"';
}

// Whether the line status window shows the same signal on both lines: the two values on its
// "Signal" row, the fifth line of text under the adapter's name, "Line A" and "Line B", "State" and
// "SIM presence", drawn alike. Nothing while the row is not to be found.
std::optional<bool> signalsLookAlike(const QImage &window)
{
    const std::vector<QRect> lines = textLines(window);
    if (lines.size() < 5)
        return std::nullopt;
    const QImage row = window.copy(lines[4]);
    // The caption, then each line's value.
    const std::vector<QRect> cells = menuBarEntries(row, 3);
    if (cells.size() != 3)
        return std::nullopt;
    return row.copy(cells[1]) == row.copy(cells[2]);
}

TEST_F(Desktop, LineStatusFollowsTheSignalAndSavesItThroughTheFileDialog)
{
    ASSERT_NO_FATAL_FAILURE(findMainWindow());
    // The window manager puts the main window in the middle of the screen, where a window as wide as
    // the line status window has no room on either side. Moved to the left, it leaves room on its right.
    desktop.moveWindow(mainWindow, {20, 40});
    ASSERT_TRUE(waitUntil([&] { return desktop.geometry(mainWindow).left() < 100; }, kReactionTime))
        << "the main window did not move";
    const XWindow status = bringUp(byKeys(QStringLiteral("ctrl+l")), QStringLiteral("Line status"));
    ASSERT_NE(status, 0u);
    // It opens beside the main window and leaves it in sight.
    const QRect statusArea = desktop.geometry(status);
    const QRect mainArea = desktop.geometry(mainWindow);
    EXPECT_FALSE(statusArea.intersects(mainArea))
        << "the main window at " << mainArea.x() << "," << mainArea.y() << " " << mainArea.width() << "x"
        << mainArea.height() << ", the line status window at " << statusArea.x() << "," << statusArea.y();
    EXPECT_GE(statusArea.left(), mainArea.right());

    // The adapter's first levels, apart; before them the window shows a dash on both lines. From there
    // alike and apart by turns, so that each row holds only once the window has shown its levels.
    const auto showsAlike = [&](bool alike) {
        return waitUntil(
            [&] { return signalsLookAlike(desktop.grab(desktop.geometry(status))) == std::optional<bool>(alike); },
            kReactionTime);
    };
    ASSERT_TRUE(showsAlike(false)) << "the window does not show the adapter's levels";
    struct Levels
    {
        std::int8_t lineA;
        std::int8_t lineB;
    };
    const Levels levels[] = {{-70, -70}, {-70, -95}, {-95, -95}};
    for (const Levels &level : levels) {
        SCOPED_TRACE(testing::Message() << "line A " << int{level.lineA} << ", line B " << int{level.lineB});
        adapter->setSignalLevel(0, level.lineA);
        adapter->setSignalLevel(1, level.lineB);
        const bool alike = level.lineA == level.lineB;
        EXPECT_TRUE(showsAlike(alike)) << "the window does not show the levels " << (alike ? "alike" : "apart");
    }

    // A name typed without its extension gets the one the dialog's filter offers.
    const QString fileName = folder.filePath(QStringLiteral("levels.csv"));
    const XWindow dialog = bringUp(byKeys(QStringLiteral("alt+d")), QStringLiteral("Save As"));
    ASSERT_NE(dialog, 0u);
    answerAfterPause(dialog, [&] {
        desktop.pressKey(QStringLiteral("ctrl+a"));
        desktop.type(folder.filePath(QStringLiteral("levels")));
        desktop.pressKey(QStringLiteral("Return"));
    });
    EXPECT_TRUE(waitGone(dialog)) << shownWindows();
    EXPECT_TRUE(hasFocus(status)) << focusText();

    QByteArray csv;
    EXPECT_TRUE(waitUntil(
        [&] {
            QFile file(fileName);
            csv = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            return csv.endsWith(",-95,-95,V7-2041-000117\r\n");
        },
        kReactionTime))
        << "the file holds: " << csv.toStdString();
    EXPECT_TRUE(csv.startsWith("time,line A,line B,adapter\r\n")) << csv.toStdString();
    for (const char *sample : {",-70,-70,V7-2041-000117\r\n", ",-70,-95,V7-2041-000117\r\n"})
        EXPECT_TRUE(csv.contains(sample)) << sample << " is missing from " << csv.toStdString();

    leaveFor(status, leaveByKey(QStringLiteral("Escape")), mainWindow);
}

TEST_F(Desktop, TheChosenTextEncodingRereadsTheNamesTheMainWindowShows)
{
    ASSERT_NO_FATAL_FAILURE(findMainWindow());
    const QRect inside = desktop.geometry(mainWindow);
    // The upper half of the window holds the contact list. The lower half is left out: the call list
    // there may or may not mark its current cell after a choice in the menu.
    const QRect contacts(inside.topLeft(), QSize(inside.width(), inside.height() / 2));
    const auto menus = [&] {
        return desktop.windowsOf(program.processId(), XDesktop::Kind::Menu);
    };
    // Clicks the code page in "Tools" > "Text encoding", and reads the contact list once it has
    // closed the menus and drawn itself again, with the mouse away from it.
    const auto readIn = [&](const QString &codePage, QImage *picture) {
        SCOPED_TRACE(codePage.toStdString());
        choose(QStringLiteral("Tools"));
        std::vector<XWindow> tools;
        ASSERT_TRUE(waitUntil(
            [&] {
                tools = menus();
                return !tools.empty();
            },
            kReactionTime))
            << "the menu did not open";
        desktop.pressKey(QStringLiteral("t"));
        // The code pages' menu is the one that opens beside "Tools".
        QRect choices;
        std::vector<QRect> entries;
        EXPECT_TRUE(waitUntil(
            [&] {
                for (XWindow menu : menus())
                    if (std::find(tools.begin(), tools.end(), menu) == tools.end())
                        choices = desktop.geometry(menu).adjusted(3, 3, -3, -3);
                entries = choices.isEmpty() ? std::vector<QRect>() : textLines(desktop.grab(choices));
                return entries.size() == static_cast<std::size_t>(ansiCodePageNames().size());
            },
            kReactionTime))
            << "the code pages' menu shows " << entries.size() << " entries";
        const auto index = static_cast<std::size_t>(ansiCodePageNames().indexOf(codePage));
        if (index < entries.size())
            desktop.click(choices.topLeft() + entries[index].center());
        EXPECT_TRUE(waitUntil([&] { return menus().empty(); }, kReactionTime)) << "the menus stay open";
        desktop.moveMouse(inside.bottomRight() + QPoint(40, 40));
        *picture = steadyPicture(contacts);
    };

    // The desktop language's code page is windows-1252: the name reads one way in windows-1251, another
    // in the desktop's, and as before when windows-1251 is chosen again.
    QImage chosen;
    QImage desktops;
    QImage again;
    ASSERT_NO_FATAL_FAILURE(readIn(QStringLiteral("windows-1251"), &chosen));
    ASSERT_NO_FATAL_FAILURE(readIn(QStringLiteral("windows-1252"), &desktops));
    ASSERT_NO_FATAL_FAILURE(readIn(QStringLiteral("windows-1251"), &again));
    EXPECT_NE(desktops, chosen);
    EXPECT_EQ(again, chosen);
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
    ASSERT_NO_FATAL_FAILURE(findMainWindow());
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
            lines = static_cast<int>(
                textLines(desktop.grab(desktop.geometry(menus.front()).adjusted(3, 3, -3, -3))).size());
            return lines >= 3;
        },
        kReactionTime))
        << "the menu shows " << lines << " entries";
    desktop.pressKey(QStringLiteral("Escape"));
}

} // namespace

} // namespace vestra7
