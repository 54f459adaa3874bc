// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' log: quiet unless it is switched on, then one line for each command of the user and
// each change of the connection.
#include "main_window_fixture.h"

#include "ui/logging.h"

#include <QAction>
#include <QLoggingCategory>

namespace vestra7 {

namespace {

// The lines of the windows' category, as the message handler got them.
QStringList g_uiLines;

void keepUiLines(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    if (qstrcmp(context.category, "vestra7.ui") == 0)
        g_uiLines << message;
}

class UiLogTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        g_uiLines.clear();
        m_previousHandler = qInstallMessageHandler(keepUiLines);
    }

    void TearDown() override
    {
        qInstallMessageHandler(m_previousHandler);
        QLoggingCategory::setFilterRules(QString());
    }

private:
    QtMessageHandler m_previousHandler = nullptr;
};

TEST_F(UiLogTest, StaysQuietUnlessSwitchedOn)
{
    EXPECT_STREQ(lcUi().categoryName(), "vestra7.ui");
    child<QAction>("settingsAction")->trigger();
    emit adapter.connectionChanged(false);
    EXPECT_EQ(g_uiLines, QStringList());
}

TEST_F(UiLogTest, SwitchedOnAsVerboseDoesItLogsCommandsAndConnectionChanges)
{
    QLoggingCategory::setFilterRules(QStringLiteral("vestra7.*.debug=true"));
    child<QAction>("settingsAction")->trigger();
    emit adapter.connectionChanged(false);
    emit adapter.connectionChanged(true);
    child<QAction>("settingsAction")->trigger();
    EXPECT_EQ(g_uiLines, (QStringList{"settings panel shown", "disconnected", "connected", "settings panel hidden"}));
}

} // namespace

} // namespace vestra7
