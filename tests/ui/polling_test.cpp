// The polling timer: a poll every tick, none while the boot loader runs or the update window shows.
#include "main_window_fixture.h"

#include "link/commands.h"
#include "link/firmware_updater.h"
#include "link/link_update_port.h"
#include "link/tick_timer.h"
#include "ui/firmware_update_dialog.h"

TEST_F(MainWindowTest, EachTickPostsAPollIntoAnEmptySlot)
{
    link.mailbox.takeRequest();
    window.tmrTimer();
    ASSERT_TRUE(link.mailbox.request_pending());
    EXPECT_EQ(link.mailbox.snapshot().cmd, CMD_POLL);
}

TEST_F(MainWindowTest, NoPollWhileTheBootLoaderRunsOrTheUpdateWindowShows)
{
    LinkUpdatePort port(link);
    FirmwareUpdater updater(port, std::make_unique<PreciseTickTimer>());
    FirmwareUpdateDialog fu(updater, link, &window);
    window.setUpdateWindow(&fu);
    link.mailbox.takeRequest();

    link.boot_mode = true;
    window.tmrTimer();
    EXPECT_FALSE(link.mailbox.request_pending());

    link.boot_mode = false;
    fu.show();
    window.tmrTimer();
    EXPECT_FALSE(link.mailbox.request_pending());

    fu.hide();
    window.tmrTimer();
    EXPECT_TRUE(link.mailbox.request_pending()) << "polling resumes once both have ended";
}

TEST_F(MainWindowTest, ATickNeverReplacesAChangeWaitingInTheSlot)
{
    link.record.mic_gain = 9;
    window.save();
    window.tmrTimer();
    const std::optional<DeviceRecord> posted = takePosted();
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->mic_gain, 9);
}
