// SPDX-License-Identifier: GPL-3.0-or-later
// What the window does with the adapter's announcements beyond its record: the title, the
// access-problem and send-failure boxes; and when it starts and stops the adapter.
#include "main_window_fixture.h"

#include "ui/access_problem.h"

#include <QLabel>
#include <QTest>

namespace vestra7 {

namespace {

using AdapterAnnouncementsTest = MainWindowTest;

TEST_F(AdapterAnnouncementsTest, ShowingStartsTheAdapterOnceAndClosingStopsIt)
{
    EXPECT_EQ(adapter.starts(), 1);
    window.hide();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(adapter.starts(), 1);
    EXPECT_EQ(adapter.stops(), 0);
    window.close();
    EXPECT_EQ(adapter.stops(), 1);
}

TEST_F(AdapterAnnouncementsTest, TheAdaptersNameBecomesTheTitleOfTheWindowAndItsBoxes)
{
    EXPECT_EQ(window.windowTitle(), "VESTRA7");
    emit adapter.identityChanged({"VESTRA7 Duo (boot)", "A1", "1.0"});
    EXPECT_EQ(window.windowTitle(), "VESTRA7 Duo (boot)");

    const BoxAnswerer answer;
    emit adapter.sendFailed("Input/output error");
    ASSERT_TRUE(answer.seen);
    EXPECT_EQ(answer.seen->title, "VESTRA7 Duo (boot)");
    EXPECT_EQ(answer.seen->text, "Input/output error");
    EXPECT_EQ(answer.seen->icon, QMessageBox::Critical);
    EXPECT_EQ(answer.seen->owner, &window);
}

TEST_F(AdapterAnnouncementsTest, AnAccessProblemIsExplainedInAWarning)
{
    const BoxAnswerer answer;
    emit adapter.accessProblem("Permission denied");
    ASSERT_TRUE(answer.seen);
    EXPECT_EQ(answer.seen->title, "VESTRA7");
    EXPECT_EQ(answer.seen->text, accessProblemText("Permission denied"));
    EXPECT_EQ(answer.seen->icon, QMessageBox::Warning);
    EXPECT_EQ(answer.seen->owner, &window);
    EXPECT_EQ(adapter.takeChanges(), Changes{});
}

TEST_F(AdapterAnnouncementsTest, AnAdapterHeldByAnotherProgramIsNamedOnTheOverlayUntilItIsFree)
{
    emit adapter.connectionChanged(false);
    auto *message = window.findChild<QLabel *>(QStringLiteral("messageLabel"));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), "Connect to USB");
    emit adapter.inUseChanged("adapter in use by process 4711 (vestra7 backup x.cfg)");
    EXPECT_EQ(message->text(), "Adapter in use by process 4711 (vestra7 backup x.cfg)");
    EXPECT_TRUE(message->isVisibleTo(&window));
    emit adapter.inUseChanged({});
    EXPECT_EQ(message->text(), "Connect to USB");
}

} // namespace

} // namespace vestra7
