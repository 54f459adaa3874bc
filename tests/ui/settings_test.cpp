// The settings panel's own commands and "Set to default".
#include "main_window_fixture.h"

#include "sim/emulated_adapter.h"
#include "ui/message_boxes.h"
#include "widgets/spin_selector.h"

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

namespace {

using SettingsTest = MainWindowTest;

TEST_F(SettingsTest, EachSelectorStoresItsOwnFieldAndSendsTheRecord)
{
    receive(initialAdapterRecord());
    const struct
    {
        const char *selector;
        std::function<int(const DeviceRecord &)> field;
    } cases[] = {
        {"micGainSelector",
         [](const DeviceRecord &r) {
             return r.mic_gain;
         }},
        {"lineGainSelector",
         [](const DeviceRecord &r) {
             return r.spk_gain;
         }},
        {"autoAnswerASelector",
         [](const DeviceRecord &r) {
             return r.auto_answer[0];
         }},
        {"autoAnswerBSelector",
         [](const DeviceRecord &r) {
             return r.auto_answer[1];
         }},
    };
    for (const auto &[selector, field] : cases) {
        const int before = field(link.record);
        QTest::keyClick(child<SpinSelector>(selector), Qt::Key_Up);
        const auto posted = takePosted();
        ASSERT_TRUE(posted) << selector;
        EXPECT_EQ(field(*posted), before + 1) << selector;
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
    EXPECT_FALSE(takePosted());
}

TEST_F(SettingsTest, SetToDefaultAsksThenSendsAZeroRecordWithTheDefaultGains)
{
    DeviceRecord record = initialAdapterRecord();
    record.contact[4] = makeParty("Kept", "1");
    record.mic_gain = 0;
    receive(record);
    QAction *reset = child<QAction>("setToDefaultAction");

    confirmAnswer = false;
    reset->trigger();
    EXPECT_EQ(questions, QStringList{"Set to default?"});
    EXPECT_FALSE(takePosted());
    EXPECT_EQ(link.record.contact[4].name[0], 'K');

    confirmAnswer = true;
    reset->trigger();
    const auto posted = takePosted();
    ASSERT_TRUE(posted);
    const auto bytes = posted->bytes();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int expected = i == 1769 ? 5 : i == 1770 ? 10 : 0;
        ASSERT_EQ(bytes[i], expected) << "byte " << i;
    }
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
