// SPDX-License-Identifier: GPL-3.0-or-later
// The settings panel while polling runs, and a configuration saved, changed and loaded back.
#include "program_fixture.h"

#include "support/gui_wait.h"
#include "widgets/spin_selector.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <array>
#include <cstring>

namespace vestra7 {

namespace {

constexpr std::array<const char *, 4> kSelectors = {"micGainSelector", "lineGainSelector", "autoAnswerASelector",
                                                    "autoAnswerBSelector"};

std::array<int, 4> settingsOf(const DeviceRecord &record)
{
    return {record.mic_gain, record.spk_gain, record.auto_answer[0], record.auto_answer[1]};
}

// What the user can change and the adapter keeps from a record write; the line states, signal
// levels and operator names are the adapter's own.
bool sameUserState(const DeviceRecord &a, const DeviceRecord &b)
{
    return a.act_line == b.act_line && std::memcmp(a.subscriber, b.subscriber, sizeof a.subscriber) == 0 &&
           std::memcmp(a.contact, b.contact, sizeof a.contact) == 0 &&
           std::memcmp(a.call_list, b.call_list, sizeof a.call_list) == 0 && settingsOf(a) == settingsOf(b);
}

class SettingsAndFiles : public ProgramOnHidraw
{
protected:
    void start(const DeviceRecord &record)
    {
        startActive(record);
        if (HasFatalFailure())
            return;
        child<QAction>("settingsAction")->trigger();
        ASSERT_TRUE(child<QWidget>("settingsPanel")->isVisible());
    }

    SpinSelector *selector(std::size_t index) { return child<SpinSelector>(kSelectors[index]); }

    std::array<int, 4> shownSettings()
    {
        std::array<int, 4> values{};
        for (std::size_t i = 0; i < kSelectors.size(); ++i)
            values[i] = selector(i)->value();
        return values;
    }

    void step(std::size_t index, Qt::Key key)
    {
        selector(index)->setFocus();
        QTest::keyClick(selector(index), key);
    }
};

TEST_F(SettingsAndFiles, EverySettingReachesTheAdapterAlsoInAFastBurstAndTheDisplayNeverGoesBack)
{
    DeviceRecord record = initialAdapterRecord();
    record.mic_gain = 2;
    record.spk_gain = 30;
    record.auto_answer[0] = 0;
    record.auto_answer[1] = 95;
    start(record);

    // One step each, waited for: each selector writes its own field.
    for (std::size_t i = 0; i < kSelectors.size(); ++i)
        step(i, Qt::Key_Up);
    const std::array<int, 4> afterOneStep = {3, 31, 1, 96};
    EXPECT_TRUE(waitForAdapter([&](const AdapterState &s) { return settingsOf(s.record) == afterOneStep; }));
    EXPECT_TRUE(waitUntil([&] { return shownSettings() == afterOneStep; }));

    // A burst while polling goes on, round the four selectors, every step upwards, at uneven gaps
    // that fall before, into and after the polls' round trips: whatever the adapter answers in
    // between, no refresh may show a value older than one shown before it.
    std::vector<std::array<int, 4>> shown;
    afterRefresh = [&] {
        shown.push_back(shownSettings());
    };
    constexpr int kSteps = 40;
    constexpr std::array<int, 6> kGapsMs = {7, 23, 41, 67, 89, 113};
    int made = 0;
    QTimer burst;
    burst.setSingleShot(true);
    QObject::connect(&burst, &QTimer::timeout, [&] {
        step(static_cast<std::size_t>(made) % kSelectors.size(), Qt::Key_Up);
        if (++made < kSteps)
            burst.start(kGapsMs[static_cast<std::size_t>(made) % kGapsMs.size()]);
    });
    burst.start(0);
    ASSERT_TRUE(waitUntil([&] { return made == kSteps; }));

    // Ten steps each; line B's delay stops at the last item, "100 sec".
    const std::array<int, 4> last = {13, 41, 11, 100};
    EXPECT_TRUE(waitForAdapter([&](const AdapterState &s) { return settingsOf(s.record) == last; }));
    EXPECT_TRUE(waitUntil([&] { return !shown.empty() && shown.back() == last; }));
    EXPECT_EQ(selector(1)->text(), "+ 41 dB");
    EXPECT_EQ(selector(3)->text(), "100 sec");
    // How many refreshes fall into the burst depends on the machine's load: a record is shown only
    // once the adapter has confirmed the newest change, so a busy machine shows fewer.
    for (std::size_t i = 1; i < shown.size(); ++i)
        for (std::size_t field = 0; field < kSelectors.size(); ++field)
            EXPECT_GE(shown[i][field], shown[i - 1][field]) << kSelectors[field] << " went back at refresh " << i;

    // And down again: the adapter follows the other way too.
    for (std::size_t i = 0; i < kSelectors.size(); ++i)
        step(i, Qt::Key_Down);
    const std::array<int, 4> down = {12, 40, 10, 99};
    EXPECT_TRUE(waitForAdapter([&](const AdapterState &s) { return settingsOf(s.record) == down; }));
}

TEST_F(SettingsAndFiles, ASavedConfigurationLoadedBackPutsTheAdapterBackInThatState)
{
    DeviceRecord record = initialAdapterRecord();
    record.contact[0] = makeParty("Anna", "+4930556677");
    record.contact[1] = makeParty("Boris", "+79035554411");
    record.call_list[0] = makeParty("Warehouse", "+74957778899");
    record.subscriber[0] = makeParty("Anna", "+4930556677");
    record.mic_gain = 7;
    record.auto_answer[1] = 12;
    start(record);

    // Saved without an extension: the file gets ".cfg".
    window().saveFileDialog().setChooser([this](QWidget *, const FileDialog::Offer &offer) {
        EXPECT_EQ(offer.mode, FileDialog::Mode::Save);
        return std::optional<QString>(folder.filePath(QStringLiteral("office")));
    });
    child<QAction>("saveToFileAction")->trigger();
    QFile file(folder.filePath(QStringLiteral("office.cfg")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    ASSERT_EQ(content.size(), static_cast<qsizetype>(kRecordSize));
    DeviceRecord saved;
    std::memcpy(&saved, content.constData(), kRecordSize);
    EXPECT_TRUE(sameUserState(saved, adapter->state().record));

    // Changes: a setting, a deleted call-list entry (no question asked), another active party.
    step(0, Qt::Key_Up);
    step(3, Qt::Key_Down);
    auto *calls = child<QTableWidget>("callList");
    QTest::mouseClick(calls->viewport(), Qt::LeftButton, {}, calls->visualItemRect(calls->item(0, 0)).center());
    QTest::keyClick(calls, Qt::Key_Delete);
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_TRUE(waitForAdapter([](const AdapterState &s) {
        const PartyEntry empty{};
        return s.record.mic_gain == 8 && s.record.auto_answer[1] == 11 &&
               std::memcmp(&s.record.call_list[0], &empty, sizeof empty) == 0 &&
               std::memcmp(&s.record.subscriber[0], &s.record.contact[0], sizeof empty) != 0;
    }));

    window().openFileDialog().setChooser([this](QWidget *, const FileDialog::Offer &offer) {
        EXPECT_EQ(offer.mode, FileDialog::Mode::Open);
        return std::optional<QString>(folder.filePath(QStringLiteral("office.cfg")));
    });
    child<QAction>("loadFromFileAction")->trigger();
    EXPECT_TRUE(waitForAdapter([&](const AdapterState &s) { return sameUserState(s.record, saved); }));
    EXPECT_TRUE(waitUntil([&] {
        return shownSettings() == settingsOf(saved) && calls->item(0, 0)->text() == "Warehouse" &&
               child<QLineEdit>("partyNameEdit")->text() == "Anna";
    }));
}

} // namespace

} // namespace vestra7
