// SPDX-License-Identifier: GPL-3.0-or-later
// Firmware updates from the menu through the boot loader, whole and interrupted.
#include "program_fixture.h"

#include "model/firmware_image.h"
#include "sim/demo_adapter.h"
#include "support/gui_wait.h"
#include "widgets/captioned_progress_bar.h"

#include "link/commands.h"

#include <QLabel>
#include <QPushButton>

namespace vestra7 {

namespace {

class FirmwareUpdate : public ProgramOnHidraw
{
protected:
    void SetUp() override
    {
        ProgramOnHidraw::SetUp();
        if (IsSkipped())
            return;
        updateFile = folder.filePath(QStringLiteral("VESTRA7-1.3.0.xupd"));
        ASSERT_TRUE(writeFile(updateFile, file));
        // Each try chooses the same file.
        prompts.files = {updateFile, updateFile};
    }

    // In the update window: the adapter is asked into its boot loader and found there.
    void waitForBootLoader()
    {
        ASSERT_TRUE(waitUntil([this] { return updateControls().selectFileButton->isEnabled(); }));
        EXPECT_TRUE(link().bootMode());
        EXPECT_EQ(updateDialog().deviceName(), "VESTRA7 (boot)");
    }

    static std::size_t chunksIn(const AdapterState &state) { return state.image.size() / kFirmwareChunkSize; }

    int pollsSince(std::size_t from) const
    {
        const AdapterState state = adapter->state();
        return static_cast<int>(std::count_if(state.received.begin() + static_cast<std::ptrdiff_t>(from),
                                              state.received.end(),
                                              [](const ReceivedMessage &m) { return m.cmd == CMD_POLL; }));
    }

    const Bytes file = demoUpdateFile(100 * 1024);
    const Bytes image = chunkedImage(payloadOf(file));
    QString updateFile;
};

TEST_F(FirmwareUpdate, AWholeUpdateArrivesByteForByteAndPollingResumesInNormalMode)
{
    startConnected();
    std::vector<int> barValues;
    whileUpdateWindowOpen([&] {
        waitForBootLoader();
        QObject::connect(updateControls().progressBar, &QProgressBar::valueChanged,
                         [&](int v) { barValues.push_back(v); });
        updateControls().selectFileButton->click();
        ASSERT_TRUE(app->adapter().updater().isSending());
        ASSERT_TRUE(waitUntil([this] { return !prompts.messages.empty() && !updateDialog().isVisible(); },
                              std::chrono::seconds(30)));
    });

    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Update success!");
    // The last acknowledgement put the bar at its end; the result put it back to 0.
    EXPECT_EQ(prompts.messages[0].barValue, 100);
    EXPECT_EQ(prompts.messages[0].barCaption, QStringLiteral("%1 %").arg(QLocale().toString(100.0, 'f', 1)));
    ASSERT_GT(barValues.size(), 100u);
    EXPECT_TRUE(std::is_sorted(barValues.begin(), barValues.end() - 1));
    EXPECT_EQ(barValues.back(), 0);
    EXPECT_EQ(updateControls().progressBar->captionLabel()->text(), "0 %");

    const AdapterState state = adapter->state();
    EXPECT_EQ(state.image.size(), image.size());
    EXPECT_TRUE(state.image == image) << "the payload arrived byte for byte";
    EXPECT_EQ(state.received.back().cmd, CMD_FW_END);

    // The adapter restarts into its firmware; the main window finds it there and polls it again.
    EXPECT_TRUE(waitForAdapter([](const AdapterState &s) { return !s.bootMode; }));
    ASSERT_TRUE(waitConnected());
    EXPECT_FALSE(link().bootMode());
    EXPECT_EQ(updateDialog().deviceName(), "VESTRA7");
    const std::size_t before = adapter->state().received.size();
    EXPECT_TRUE(waitUntil([&] { return pollsSince(before) >= 2; }));
}

TEST_F(FirmwareUpdate, UnpluggedDuringATransferTheUpdateSucceedsOnASecondTry)
{
    startConnected();
    whileUpdateWindowOpen([&] {
        waitForBootLoader();
        updateControls().selectFileButton->click();
        ASSERT_TRUE(waitForAdapter([](const AdapterState &s) { return chunksIn(s) >= 20; }));

        // Pulled out mid-way, it comes back in its boot loader with nothing of the image kept.
        adapter->unplug();
        adapter->enterBootLoader();
        ASSERT_TRUE(waitUntil([this] { return !app->adapter().updater().isSending(); }));
        EXPECT_FALSE(updateControls().selectFileButton->isEnabled()) << "nothing to send a file to";
        hidraw->plug(adapter);

        // Nothing of the old transfer goes to the new boot loader; the file can be chosen again.
        ASSERT_TRUE(waitUntil([this] { return updateControls().selectFileButton->isEnabled(); }));
        EXPECT_EQ(updateControls().progressBar->value(), 0);
        EXPECT_TRUE(adapter->state().image.empty());
        EXPECT_EQ(prompts.messages.size(), 1u);

        updateControls().selectFileButton->click();
        ASSERT_TRUE(waitUntil([this] { return prompts.messages.size() == 2 && !updateDialog().isVisible(); },
                              std::chrono::seconds(30)));
    });

    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].text, "Error!\r\nRetry again");
    EXPECT_EQ(prompts.messages[1].text, "Update success!");
    EXPECT_TRUE(adapter->state().image == image) << "the second try sent the whole payload from its start";
    ASSERT_TRUE(waitConnected());
}

} // namespace

} // namespace vestra7
