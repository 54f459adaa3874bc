// SPDX-License-Identifier: GPL-3.0-or-later
// The adapter removed at the worst moments, through the whole program: in the middle of a record
// write, while the window shows a record, while the reading thread waits for
// its report to be taken, and while a read is under way. Nothing may crash, no handle may be closed
// under a call on it, and the program must take the adapter back when it returns. Run under the
// address and thread sanitizers too.
#include "program_fixture.h"

#include "link/commands.h"
#include "link/hid_controller.h"
#include "support/adapter_probe.h"
#include "support/gui_wait.h"
#include "support/update_dialog_controls.h"
#include "ui/firmware_update_dialog.h"

#include <QPushButton>

#include <atomic>
#include <thread>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

// For threads other than the GUI thread, which must not run its event loop: yields until
// `condition` holds or the time is up.
bool spinUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout = 10s)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

class RemovalRace : public ProgramOnEmulatedBus
{
protected:
    void replugAndReconnect()
    {
        const int before = refreshes;
        bus.plug(adapter);
        ASSERT_TRUE(waitUntil([&] { return connectedOnScreen() && refreshes > before; }));
    }

    // Only the adapter plugged in now holds a handle: every removed one's is closed.
    void expectOneHandleLeft() { EXPECT_EQ(ledger->openHandles(), 1) << "of " << ledger->handlesOpened(); }
};

TEST_F(RemovalRace, InTheMiddleOfARecordWrite)
{
    startConnected();
    // The first report, one inside, the last data frame and the trailer.
    for (const int report : {0, 1, 15, 28, 29}) {
        HidDevice *device = AdapterProbe::claimedDevice(app->adapter());
        std::atomic<bool> removed{false};
        std::atomic<bool> seenGone{false};
        ledger->armWrite(report, [&] {
            adapter->unplug();
            // The GUI thread finds the adapter gone and lets go of its handle while this write runs.
            seenGone = spinUntil([&] { return !device->isPluggedIn(); });
            removed = true;
        });
        // A record write, as every change makes.
        app->adapter().setActiveLine(app->adapter().record().act_line);
        ASSERT_TRUE(waitUntil([&] { return removed.load() && !connectedOnScreen(); })) << "report " << report;
        EXPECT_TRUE(seenGone.load()) << "report " << report;
        replugAndReconnect();
    }
    expectOneHandleLeft();
}

TEST_F(RemovalRace, WhileTheWindowShowsARecord)
{
    startConnected();
    for (int round = 0; round < 5; ++round) {
        bool removed = false;
        afterRefresh = [&] {
            if (std::exchange(removed, true))
                return;
            unplugFromAnotherThread();
            // Handled while the record is being shown, as it would be under a message box opened there.
            EXPECT_TRUE(waitUntil([&] { return !app->adapter().connected(); }));
        };
        ASSERT_TRUE(waitUntil([&] { return removed && !connectedOnScreen(); })) << "round " << round;
        afterRefresh = nullptr;
        replugAndReconnect();
    }
    expectOneHandleLeft();
}

TEST_F(RemovalRace, WhileAReportWaitsForTheGuiThread)
{
    // The boot loader's answer to "Reset settings" reaches the update window inside the hand-over.
    adapter->enterBootLoader();
    plug();
    startProgram();
    FirmwareUpdateDialog &dialog = app->updateDialog();
    const UpdateDialogControls controls(dialog);
    dialog.QDialog::open();
    ASSERT_TRUE(waitUntil([&] { return controls.resetSettingsButton->isEnabled() && app->adapter().bootMode(); }));
    for (int round = 0; round < 5; ++round) {
        bool removed = false;
        const QMetaObject::Connection hook =
            QObject::connect(&app->adapter().updater(), &FirmwareUpdatePort::settingsReset, [&] {
                if (std::exchange(removed, true))
                    return;
                unplugFromAnotherThread();
                // Handled while the reading thread still waits for this report to be taken.
                EXPECT_TRUE(waitUntil([&] { return !AdapterProbe::claimedDevice(app->adapter())->isPluggedIn(); }));
            });
        controls.resetSettingsButton->click();
        ASSERT_TRUE(waitUntil([&] {
            return removed && prompts.messages.size() == static_cast<std::size_t>(round + 1);
        })) << "round "
            << round;
        QObject::disconnect(hook);
        EXPECT_EQ(prompts.messages.back().text, QStringLiteral("Settings is reset!"));
        bus.plug(adapter);
        ASSERT_TRUE(waitUntil([&] {
            return AdapterProbe::claimedDevice(app->adapter())->isPluggedIn() &&
                   controls.resetSettingsButton->isEnabled();
        }));
    }
    expectOneHandleLeft();
}

TEST_F(RemovalRace, WhileAReadIsUnderWay)
{
    startConnected();
    for (int round = 0; round < 5; ++round) {
        HidDevice *device = AdapterProbe::claimedDevice(app->adapter());
        std::atomic<bool> removed{false};
        std::atomic<bool> seenGone{false};
        ledger->armRead([&] {
            adapter->unplug();
            seenGone = spinUntil([&] { return !device->isPluggedIn(); });
            removed = true;
        });
        ASSERT_TRUE(waitUntil([&] { return removed.load() && !connectedOnScreen(); })) << "round " << round;
        EXPECT_TRUE(seenGone.load()) << "round " << round;
        replugAndReconnect();
    }
    expectOneHandleLeft();
}

} // namespace

} // namespace vestra7
