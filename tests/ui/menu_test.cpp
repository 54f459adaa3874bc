// SPDX-License-Identifier: GPL-3.0-or-later
// The menu's own commands: the settings panel, the update window, the About boxes, the list of
// shortcuts and closing.
#include "main_window_fixture.h"

#include <QApplication>
#include <QDialog>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

namespace vestra7 {

namespace {

class MenuTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // Never resized: the window sizes it before its first showing.
        updateWindow.setMinimumSize(300, 200);
    }

    QDialog updateWindow;
};

TEST_F(MenuTest, SettingsShowsAndHidesThePanel)
{
    auto *panel = child<QWidget>("settingsPanel");
    ASSERT_TRUE(panel->isHidden());
    // An entry on the menu bar itself acts on a click, without a submenu.
    auto *bar = child<QMenuBar>("mainMenu");
    const QPoint settings = bar->actionGeometry(child<QAction>("settingsAction")).center();
    QTest::mouseClick(bar, Qt::LeftButton, {}, settings);
    EXPECT_TRUE(panel->isVisible());
    QTest::mouseClick(bar, Qt::LeftButton, {}, settings);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(adapter.takeChanges(), Changes{});
}

TEST_F(MenuTest, UpdateWindowOpensModallyCentredOverTheMainWindowWhereverItWasMoved)
{
    window.setUpdateWindow(&updateWindow);
    const auto openUpdateWindow = [this] {
        std::optional<QRect> shownAt;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!updateWindow.isVisible())
                return;
            poll.stop();
            EXPECT_EQ(QApplication::activeModalWidget(), &updateWindow);
            shownAt = updateWindow.frameGeometry();
            updateWindow.hide();
        });
        poll.start(10);
        child<QAction>("updateFirmwareAction")->trigger();
        return shownAt;
    };
    // The first opening learns the window's frame, which is not known before it was ever shown.
    ASSERT_TRUE(openUpdateWindow());

    window.move(137, 61);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window.frameGeometry().topLeft() == QPoint(137, 61); }));
    const std::optional<QRect> shownAt = openUpdateWindow();
    ASSERT_TRUE(shownAt);
    const QRect main = window.frameGeometry();
    EXPECT_EQ(shownAt->left(), main.left() + main.width() / 2 - shownAt->width() / 2);
    EXPECT_EQ(shownAt->top(), main.top() + main.height() / 2 - shownAt->height() / 2);
}

TEST_F(MenuTest, AboutBoxShowsTheIdentityInThreeLinesThenTheProgramsVersion)
{
    adapter.setIdentity({"VESTRA7", "", "1.2"});
    const BoxAnswerer answer;
    child<QAction>("aboutAction")->trigger();
    ASSERT_TRUE(answer.seen);
    EXPECT_EQ(answer.seen->title, "Information");
    EXPECT_EQ(answer.seen->text, "Model: VESTRA7\r\nSerial: \r\nSoftware version: 1.2\r\nProgram version: 1.0.0");
    EXPECT_EQ(answer.seen->icon, QMessageBox::Information);
    EXPECT_EQ(answer.seen->buttons, QStringList{"OK"});
    EXPECT_EQ(answer.seen->owner, &window);
    EXPECT_LE((answer.seen->centre - window.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MenuTest, HelpNeedsNoAdapterAndNamesTheProgramAndEveryShortcut)
{
    emit adapter.connectionChanged(false);
    const struct
    {
        const char *action;
        QString title;
        QStringList shown;
    } cases[] = {
        {"aboutProgramAction",
         "About vestra7",
         {"vestra7 1.0.0", QStringLiteral("Qt ") + qVersion(), "GPL-3.0-or-later"}},
        {"keyboardShortcutsAction",
         "Keyboard shortcuts",
         {"Ctrl+S", "Ctrl+O", "Ctrl+Q", "F1", "Ctrl+1", "Ctrl+Shift+2", "Hang up, line B", "Esc", "F10"}},
    };
    for (const auto &[action, title, shown] : cases) {
        const BoxAnswerer answer;
        auto *entry = child<QAction>(action);
        ASSERT_TRUE(entry->isEnabled()) << action;
        entry->trigger();
        ASSERT_TRUE(answer.seen) << action;
        EXPECT_EQ(answer.seen->title, title);
        for (const QString &part : shown)
            EXPECT_TRUE(answer.seen->text.contains(part)) << part.toStdString() << " in " << action;
    }
}

TEST_F(MenuTest, CloseClosesTheWindowAndStopsTheAdapter)
{
    child<QAction>("closeAction")->trigger();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(adapter.stops(), 1);
}

} // namespace

} // namespace vestra7
