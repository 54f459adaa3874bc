// SPDX-License-Identifier: GPL-3.0-or-later
// Two adapters on virtual hidraw nodes: the one chosen in the main window's menu is the one the
// program writes to, and the one in use, chosen or first found, is followed across its restarts.
#include "program_fixture.h"

#include "link/commands.h"
#include "support/gui_wait.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

#include <algorithm>
#include <chrono>

namespace vestra7 {

namespace {

int recordWritesTo(const EmulatedAdapter &adapter)
{
    const AdapterState state = adapter.state();
    return static_cast<int>(std::count_if(state.received.begin(), state.received.end(),
                                          [](const ReceivedMessage &m) { return m.cmd == CMD_WRITE_RECORD; }));
}

class AdapterChoice : public ProgramOnHidraw
{
protected:
    static std::shared_ptr<EmulatedAdapter> adapterWith(const char *serial)
    {
        auto adapter =
            std::make_shared<EmulatedAdapter>(EmulatedIdentity::withSerialNumber(QString::fromLatin1(serial)));
        adapter->setUsbTiming(true);
        return adapter;
    }

    // The menu's entry for the second adapter. The entries are made anew whenever the adapters
    // change: look each time.
    QAction *secondChoice()
    {
        const QList<QAction *> choices = child<QMenu>("adapterMenu")->actions();
        const auto found = std::find_if(choices.begin(), choices.end(), [](const QAction *choice) {
            return choice->text().endsWith(QLatin1String("V7-SECOND"));
        });
        return found != choices.end() ? *found : nullptr;
    }

    std::shared_ptr<EmulatedAdapter> second = adapterWith("V7-SECOND");
};

// A real adapter is gone from the bus this long when it restarts.
constexpr std::chrono::milliseconds kRestartGap{250};

// How the adapter in use comes back from its restarts.
struct Return
{
    const char *name;
    bool bootLoaderSerial; // its boot loader reports the serial number
    bool movesPort;        // it comes back in another USB port
};

class FollowedAdapter : public AdapterChoice, public testing::WithParamInterface<Return>
{
protected:
    // The first adapter, nothing chosen: the one in use is simply the first found.
    void startWithTwo()
    {
        EmulatedIdentity identity;
        identity.bootLoaderSerial = GetParam().bootLoaderSerial;
        adapter = std::make_shared<EmulatedAdapter>(identity);
        adapter->setUsbTiming(true);
        adapter->setRestartGap(kRestartGap);
        startConnected();
        hidraw->plug(second);
        ASSERT_TRUE(waitUntil([&] { return link().presentAdapters().size() == 2; }));
        ASSERT_EQ(link().identity().serial, adapter->identity().serialNumber);
        if (GetParam().movesPort)
            hidraw->changePortOnNextPlug(*adapter);
    }

    bool secondUntouched()
    {
        const AdapterState state = second->state();
        return state.received.empty() && state.restarts == 0;
    }
};

} // namespace

TEST_F(AdapterChoice, TheAdapterChosenInTheMenuIsTheOneWrittenTo)
{
    startConnected();
    hidraw->plug(second);
    auto *menu = child<QMenu>("adapterMenu");
    ASSERT_TRUE(waitUntil([&] { return menu->menuAction()->isVisible() && menu->actions().size() == 2; }))
        << "the menu does not offer both adapters";
    ASSERT_NE(secondChoice(), nullptr);
    EXPECT_FALSE(secondChoice()->isChecked()) << "the first adapter found is the one in use";

    const int writesToFirst = recordWritesTo(*adapter);
    secondChoice()->trigger();
    ASSERT_TRUE(waitUntil([&] { return link().identity().serial == "V7-SECOND" && connectedOnScreen(); }));
    ASSERT_NE(secondChoice(), nullptr);
    EXPECT_TRUE(secondChoice()->isChecked());

    // A change from the window goes to the chosen adapter, and only there.
    const std::int8_t gain = static_cast<std::int8_t>(second->state().record.mic_gain == 3 ? 4 : 3);
    link().setMicGain(gain);
    EXPECT_TRUE(waitUntil([&] { return second->state().record.mic_gain == gain; }));
    EXPECT_EQ(recordWritesTo(*adapter), writesToFirst);
    EXPECT_NE(adapter->state().record.mic_gain, gain);
}

TEST_F(AdapterChoice, AnUpdateRestartsOnlyTheChosenAdapterAndTheWindowsFollowIt)
{
    startConnected();
    hidraw->plug(second);
    ASSERT_TRUE(waitUntil([&] { return secondChoice() != nullptr; }));
    secondChoice()->trigger();
    ASSERT_TRUE(waitUntil([&] { return link().identity().serial == "V7-SECOND" && connectedOnScreen(); }));
    adapter->clearReceived();

    whileUpdateWindowOpen([&] {
        ASSERT_TRUE(waitUntil([this] { return updateControls().selectFileButton->isEnabled(); }));
        EXPECT_EQ(updateDialog().deviceName(), "VESTRA7 (boot)");
        EXPECT_EQ(updateDialog().serialNumber(), "V7-SECOND");
        updateControls().closeButton->click();
    });
    ASSERT_TRUE(waitUntil([&] { return second->state().restarts == 2; }, std::chrono::seconds(20)));
    ASSERT_TRUE(waitUntil([&] { return link().identity().serial == "V7-SECOND" && connectedOnScreen(); }));
    ASSERT_NE(secondChoice(), nullptr);
    EXPECT_TRUE(secondChoice()->isChecked());
    EXPECT_TRUE(adapterNow([](const AdapterState &state) { return state.received.empty() && !state.bootMode; }))
        << "the adapter not chosen received a report";
}

} // namespace vestra7

namespace vestra7 {

TEST_P(FollowedAdapter, AnUpdateRestartsOnlyTheAdapterInUseThoughNoneWasChosen)
{
    startWithTwo();
    bool secondTouched = false;
    whileUpdateWindowOpen([&] {
        ASSERT_TRUE(waitUntil([this] { return updateControls().selectFileButton->isEnabled(); }));
        EXPECT_EQ(updateDialog().deviceName(), "VESTRA7 (boot)");
        EXPECT_EQ(adapter->state().restarts, 1);
        secondTouched = !secondUntouched();
        updateControls().closeButton->click();
    });
    EXPECT_FALSE(secondTouched) << "the other adapter was sent something while the update window showed";
    ASSERT_TRUE(waitUntil([&] { return adapter->state().restarts == 2; }));
    ASSERT_TRUE(
        waitUntil([&] { return link().identity().serial == adapter->identity().serialNumber && connectedOnScreen(); }));
    EXPECT_TRUE(secondUntouched()) << "the other adapter was sent something";
}

TEST_P(FollowedAdapter, OneThatDoesNotComeBackIsGivenUpOnlyOnceTheUpdateWindowHasClosed)
{
    startWithTwo();
    link().setRestartWait(std::chrono::milliseconds(300));
    // Once in its boot loader, it goes away for good.
    whileUpdateWindowOpen([&] {
        ASSERT_TRUE(waitUntil([this] { return updateControls().selectFileButton->isEnabled(); }));
        adapter->unplug();
        ASSERT_TRUE(waitUntil([this] { return link().presentAdapters().size() == 1; }));
        EXPECT_TRUE(secondUntouched()) << "the other adapter was taken while the update window showed";
        updateControls().closeButton->click();
    });
    ASSERT_TRUE(waitUntil([&] { return link().identity().serial == "V7-SECOND" && connectedOnScreen(); }));
    ASSERT_EQ(unexpectedBoxes.size(), 1);
    EXPECT_TRUE(unexpectedBoxes.front().contains(QLatin1String("did not come back")))
        << unexpectedBoxes.front().toStdString();
    EXPECT_TRUE(unexpectedBoxes.front().contains(adapter->identity().serialNumber))
        << unexpectedBoxes.front().toStdString();
    unexpectedBoxes.clear();
}

INSTANTIATE_TEST_SUITE_P(Returns, FollowedAdapter,
                         testing::Values(Return{"BootLoaderWithoutSerialInTheSamePort", false, false},
                                         Return{"WithItsSerialInAnotherPort", true, true}),
                         [](const testing::TestParamInfo<Return> &param) { return std::string(param.param.name); });

} // namespace vestra7
