// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's test fixture.
#include "main_window_fixture.h"

#include <QTest>

namespace vestra7 {

void MainWindowTest::SetUp()
{
    window.setConfirmer([this](QWidget *parent, const QString &question) {
        EXPECT_EQ(parent, &window);
        questions << question;
        return confirmAnswer;
    });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    emit adapter.connectionChanged(true);
}

} // namespace vestra7
