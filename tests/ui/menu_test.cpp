// The menu's own commands: the settings panel, the update window, the About box and closing.
#include "main_window_fixture.h"

#include "link/firmware_updater.h"
#include "link/link_update_port.h"
#include "link/tick_timer.h"
#include "ui/firmware_update_dialog.h"

#include <QApplication>
#include <QMenuBar>
#include <QTest>

namespace {

class MenuTest : public MainWindowTest
{
protected:
    LinkUpdatePort port{link};
    FirmwareUpdater updater{port, std::make_unique<PreciseTickTimer>()};
    FirmwareUpdateDialog fu{updater, link};
};

TEST_F(MenuTest, SettingsShowsAndHidesThePanel)
{
    auto *panel = child<QWidget>("fset");
    ASSERT_TRUE(panel->isHidden());
    // An entry on the menu bar itself acts on a click, without a submenu.
    auto *bar = child<QMenuBar>("mm");
    const QPoint settings = bar->actionGeometry(child<QAction>("SETTINGS")).center();
    QTest::mouseClick(bar, Qt::LeftButton, {}, settings);
    EXPECT_TRUE(panel->isVisible());
    QTest::mouseClick(bar, Qt::LeftButton, {}, settings);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_FALSE(takePosted());
}

TEST_F(MenuTest, UpdateWindowOpensModallyCentredOverTheMainWindowWhereverItWasMoved)
{
    window.setUpdateWindow(&fu);
    const auto openUpdateWindow = [this] {
        std::optional<QRect> shownAt;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!fu.isVisible())
                return;
            poll.stop();
            EXPECT_EQ(QApplication::activeModalWidget(), &fu);
            shownAt = fu.frameGeometry();
            fu.hide();
        });
        poll.start(10);
        child<QAction>("UPD")->trigger();
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

TEST_F(MenuTest, AboutBoxShowsTheIdentityInThreeLines)
{
    window.setUpdateWindow(&fu);
    fu.setIdentity("VESTRA7", {}, "1.2");
    const BoxAnswerer answer;
    child<QAction>("INF")->trigger();
    ASSERT_TRUE(answer.seen);
    EXPECT_EQ(answer.seen->title, "Information");
    EXPECT_EQ(answer.seen->text, "Model: VESTRA7\r\nSerial: \r\nSoftware version: 1.2");
    EXPECT_EQ(answer.seen->icon, QMessageBox::Information);
    EXPECT_EQ(answer.seen->buttons, QStringList{"OK"});
    EXPECT_EQ(answer.seen->owner, &window);
    EXPECT_LE((answer.seen->centre - window.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MenuTest, CloseClosesTheWindow)
{
    child<QAction>("FCLOSE")->trigger();
    EXPECT_FALSE(window.isVisible());
}

} // namespace
