// SPDX-License-Identifier: GPL-3.0-or-later
// The settings panel's own commands and "Set to default".
#include "main_window_fixture.h"

#include "support/record_builders.h"
#include "ui/message_boxes.h"
#include "widgets/spin_selector.h"

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

namespace vestra7 {

namespace {

using SettingsTest = MainWindowTest;

TEST_F(SettingsTest, EachSelectorAsksForItsOwnSettingAlone)
{
    receive(readyRecord()); // gains 5 and 10, both lines answering by themselves never
    const struct
    {
        const char *selector;
        Change asked;
    } cases[] = {
        {"micGainSelector", change::SetMicGain{6}},
        {"lineGainSelector", change::SetLineGain{11}},
        {"autoAnswerASelector", change::SetAutoAnswer{0, 1}},
        {"autoAnswerBSelector", change::SetAutoAnswer{1, 1}},
    };
    for (const auto &[selector, asked] : cases) {
        QTest::keyClick(child<SpinSelector>(selector), Qt::Key_Up);
        EXPECT_EQ(adapter.takeChanges(), Changes{asked}) << selector;
    }
}

TEST_F(SettingsTest, LabelsShowTheirWholeTextAndEndWhereTheSelectorsBegin)
{
    auto *panel = child<QWidget>("settingsPanel");
    for (const char *name : {"micGainLabel", "lineGainLabel", "autoAnswerALabel", "autoAnswerBLabel"}) {
        const auto *label = panel->findChild<QLabel *>(QLatin1String(name));
        ASSERT_TRUE(label) << name;
        EXPECT_EQ(label->x() + label->width(), 231) << name;
        EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text())) << name;
    }
}

TEST_F(SettingsTest, OkHidesThePanelAndSendsNothing)
{
    auto *panel = child<QWidget>("settingsPanel");
    panel->show();
    QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(adapter.takeChanges(), Changes{});
}

TEST_F(SettingsTest, SetToDefaultAsksThenAsksTheAdapterForTheReset)
{
    DeviceRecord record = readyRecord();
    record.mic_gain = 0;
    receive(record);
    QAction *reset = child<QAction>("setToDefaultAction");

    confirmAnswer = false;
    reset->trigger();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].startsWith("Set to default?\n\n")) << questions[0].toStdString();
    EXPECT_TRUE(questions[0].contains("empties the phone book and the call list")) << questions[0].toStdString();
    EXPECT_TRUE(questions[0].contains("backup")) << questions[0].toStdString();
    EXPECT_EQ(adapter.takeChanges(), Changes{});

    confirmAnswer = true;
    reset->trigger();
    EXPECT_EQ(adapter.takeChanges(), Changes{change::ResetToDefaults{}});
    EXPECT_EQ(child<SpinSelector>("micGainSelector")->text(), "0 dB    "); // until the adapter's reply
}

TEST(ConfirmBox, AsksWithOkAndCancelAndOkAsTheDefault)
{
    QWidget owner;
    const BoxAnswerer cancel(QStringLiteral("Cancel"));
    EXPECT_FALSE(confirmBox(&owner, QStringLiteral("Delete contact?")));
    ASSERT_TRUE(cancel.seen);
    EXPECT_EQ(cancel.seen->title, "Confirm");
    EXPECT_EQ(cancel.seen->text, "Delete contact?");
    EXPECT_EQ(cancel.seen->buttons, (QStringList{"OK", "Cancel"}));
    EXPECT_EQ(cancel.seen->defaultButton, "OK");
    EXPECT_EQ(cancel.seen->owner, &owner);

    const BoxAnswerer ok;
    EXPECT_TRUE(confirmBox(&owner, QStringLiteral("Set to default?")));
}

} // namespace

} // namespace vestra7
