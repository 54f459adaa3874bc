// SPDX-License-Identifier: GPL-3.0-or-later
// Updates of the emulated adapter through the real link (worker, reading thread, receiver) with the
// USB timing model on: what reaches the boot loader, in which order, and what the window makes of its
// replies.
#include "support/adapter_probe.h"
#include "support/recorded_prompts.h"
#include "support/update_test_files.h"
#include "support/updater_fakes.h"

#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/gui_wait.h"
#include "support/update_dialog_controls.h"

#include "link/adapter.h"
#include "link/commands.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

constexpr char kHeader[] = "MODEL=VESTRA7 &VERSION=1.3&DATE=2024-05-01";

using Bytes = std::vector<std::uint8_t>;

// The chunk that starts at `position`, padded with zeros past the end of the file.
Bytes chunkAt(const Bytes &file, std::size_t position)
{
    Bytes chunk(file.begin() + static_cast<std::ptrdiff_t>(position),
                file.begin() + static_cast<std::ptrdiff_t>(std::min(file.size(), position + kFirmwareChunkSize)));
    chunk.resize(kFirmwareChunkSize, 0);
    return chunk;
}

class UpdateTransfer : public testing::Test
{
protected:
    // With `steppedTicks` the ticks come only when tick() is called.
    explicit UpdateTransfer(bool steppedTicks = false)
        : link([this] { return std::make_unique<EmulatedBackend>(bus); }, std::chrono::steady_clock::now,
               makeTimer(steppedTicks))
    {
        adapter->setUsbTiming(true);
        dialog.setPrompts(prompts.prompts(dialog));
    }

    // No report may reach a window that is gone.
    ~UpdateTransfer() override { link.shutdown(); }

    // Plugs the adapter in, starts the link and opens the update window once the adapter is claimed.
    void start(bool inBootLoader)
    {
        if (inBootLoader)
            adapter->enterBootLoader();
        bus.plug(adapter);
        link.start();
        ASSERT_TRUE(waitUntil([this] { return AdapterProbe::claimedDevice(link) != nullptr; }));
        dialog.show();
        ASSERT_EQ(link.bootMode(), inBootLoader);
        ASSERT_EQ(controls.selectFileButton->isEnabled(), inBootLoader);
        ASSERT_EQ(dialog.deviceName(), inBootLoader ? QStringLiteral("VESTRA7 (boot)") : QStringLiteral("VESTRA7"));
    }

    void choose(const Bytes &file)
    {
        prompts.files.push_back(files.write(QStringLiteral("fw.xupd"), file));
        controls.selectFileButton->click();
        ASSERT_TRUE(updater.isSending());
    }

    // Runs until the window has shown the result and closed.
    void waitForTheEnd()
    {
        ASSERT_TRUE(waitUntil([this] { return !prompts.messages.empty() && !dialog.isVisible(); }));
    }

    // The update messages the adapter took, leaving out the wake-up requests.
    std::vector<ReceivedMessage> updateMessages() const
    {
        std::vector<ReceivedMessage> messages;
        for (const ReceivedMessage &message : adapter->state().received)
            if (message.cmd != CMD_ENTER_BOOT)
                messages.push_back(message);
        return messages;
    }

    std::vector<Bytes> chunksReceived() const
    {
        std::vector<Bytes> chunks;
        for (const ReceivedMessage &message : adapter->state().received)
            if (message.cmd == CMD_FW_CHUNK)
                chunks.push_back(message.payload);
        return chunks;
    }

    void tick() { m_steppedTimer->tick(); }

    // Waits, without handling any reply meanwhile, until the adapter has taken `count` chunks.
    bool adapterHasChunks(std::size_t count)
    {
        return adapter->waitFor([count](const AdapterState &state) {
            return std::count_if(state.received.begin(), state.received.end(), [](const ReceivedMessage &m) {
                       return m.cmd == CMD_FW_CHUNK;
                   }) == static_cast<std::ptrdiff_t>(count);
        });
    }

    EmulatedBus bus;
    std::shared_ptr<EmulatedAdapter> adapter = std::make_shared<EmulatedAdapter>();

private:
    std::unique_ptr<TickTimer> makeTimer(bool stepped)
    {
        if (!stepped)
            return std::make_unique<PreciseTickTimer>();
        auto timer = std::make_unique<FakeTickTimer>();
        m_steppedTimer = timer.get();
        return timer;
    }

    FakeTickTimer *m_steppedTimer = nullptr;

protected:
    Adapter link;
    FirmwareUpdater &updater = link.updater();
    FirmwareUpdateDialog dialog{link};
    UpdateDialogControls controls{dialog};
    RecordedPrompts prompts;
    FileFolder files;
};

class SteppedUpdateTransfer : public UpdateTransfer
{
protected:
    SteppedUpdateTransfer()
        : UpdateTransfer(true)
    {
    }
};

TEST_F(UpdateTransfer, AWholeUpdateFromNormalFirmwareArrivesByteForByteInOrder)
{
    start(false);
    // The window's ticks ask the adapter into its boot loader; discovery finds it there.
    ASSERT_TRUE(waitUntil([this] { return controls.selectFileButton->isEnabled(); }));
    EXPECT_TRUE(link.bootMode());
    EXPECT_EQ(dialog.deviceName(), QStringLiteral("VESTRA7 (boot)"));

    const Bytes file = updateFile(kHeader, payloadBytes(3 * kFirmwareChunkSize + 100), 64);
    choose(file);
    waitForTheEnd();

    std::vector<ReceivedMessage> expected;
    for (std::size_t position = 64; position < file.size(); position += kFirmwareChunkSize)
        expected.push_back({CMD_FW_CHUNK, chunkAt(file, position)});
    expected.push_back({CMD_FW_END, {}});
    // Every chunk once: each went out only after the one before it was acknowledged.
    EXPECT_EQ(updateMessages(), expected);
    Bytes image(file.begin() + 64, file.end());
    image.resize(4 * kFirmwareChunkSize, 0);
    EXPECT_EQ(adapter->state().image, image);

    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Update success!"));
    EXPECT_FALSE(link.bootMode());
    EXPECT_FALSE(updater.isSending());
    // The adapter restarts into the new firmware and is found there again.
    EXPECT_TRUE(waitUntil([this] { return dialog.deviceName() == QStringLiteral("VESTRA7"); }));
    EXPECT_TRUE(link.connected());
    EXPECT_EQ(prompts.messages.size(), 1u) << "its restart after the result is no failure";
}

TEST_F(SteppedUpdateTransfer, AChunkWhoseAcknowledgementIsLostGoesAgainAtTheNextTick)
{
    start(true);
    adapter->withholdReply(CMD_FW_CHUNK, 1);
    const Bytes file = updateFile(kHeader, payloadBytes(3 * kFirmwareChunkSize), 544);
    choose(file);

    tick();
    // The first acknowledgement sends the second chunk at once; its own is lost.
    ASSERT_TRUE(waitUntil([this] { return chunksReceived().size() == 2; }));
    EXPECT_EQ(updater.image().position(), 1088u);
    tick();
    // The repeat is acknowledged, and the rest follows without a tick.
    ASSERT_TRUE(waitUntil([this] { return !prompts.messages.empty(); }));
    EXPECT_EQ(chunksReceived(),
              (std::vector<Bytes>{chunkAt(file, 544), chunkAt(file, 1088), chunkAt(file, 1088), chunkAt(file, 1632)}));
    EXPECT_EQ(updateMessages().back().cmd, CMD_FW_END);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Update success!"));
}

TEST_F(SteppedUpdateTransfer, ALateAcknowledgementAndThatOfTheRepeatMoveOnTwice)
{
    start(true);
    adapter->delayReplies(CMD_FW_CHUNK, 50ms);
    const Bytes file = updateFile(kHeader, payloadBytes(4 * kFirmwareChunkSize), 64);
    choose(file);

    tick();
    ASSERT_TRUE(adapterHasChunks(1));
    // The acknowledgement has not been handled when the next tick comes.
    ASSERT_EQ(updater.image().position(), 64u);
    tick();
    ASSERT_TRUE(adapterHasChunks(2));
    // Acknowledgements carry nothing to tell them apart: both count, and the second chunk is skipped.
    ASSERT_TRUE(waitUntil([this] { return chunksReceived().size() >= 4; }));
    const std::vector<Bytes> chunks = chunksReceived();
    EXPECT_EQ(std::vector<Bytes>(chunks.begin(), chunks.begin() + 4),
              (std::vector<Bytes>{chunkAt(file, 64), chunkAt(file, 64), chunkAt(file, 608), chunkAt(file, 1152)}));
}

TEST_F(UpdateTransfer, AFileWithNothingBehindItsHeaderIsAnIncorrectFileAndNothingIsSent)
{
    start(true);
    Bytes pastTheEnd = updateFile(kHeader, payloadBytes(10));
    pastTheEnd[0] = static_cast<std::uint8_t>(pastTheEnd.size() + 10);
    pastTheEnd[1] = 0;
    for (const Bytes &file : {updateFile(kHeader, {}), pastTheEnd}) {
        prompts.messages.clear();
        prompts.files.push_back(files.write(QStringLiteral("fw.xupd"), file));
        controls.selectFileButton->click();
        EXPECT_FALSE(updater.isSending());
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Incorrect file!"));
    }
    EXPECT_TRUE(updateMessages().empty());
    EXPECT_TRUE(adapter->state().image.empty());
}

TEST_F(UpdateTransfer, AFailedUpdateIsReportedAndTheWindowClosesAsAfterSuccess)
{
    adapter->setUpdateResult(false);
    start(true);
    choose(updateFile(kHeader, payloadBytes(700)));
    waitForTheEnd();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Error!\r\nRetry again"));
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Information);
    EXPECT_FALSE(link.bootMode());
    EXPECT_EQ(controls.progressBar->value(), 0);
    EXPECT_EQ(controls.progressBar->captionLabel()->text(), QStringLiteral("0 %"));
}

TEST_F(UpdateTransfer, CloseStopsATransferAndTakesTheAdapterOutOfItsBootLoader)
{
    start(true);
    choose(updateFile(kHeader, payloadBytes(100 * kFirmwareChunkSize)));
    ASSERT_TRUE(waitUntil([this] { return adapter->state().image.size() >= 2 * kFirmwareChunkSize; }));

    controls.closeButton->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(link.bootMode());
    EXPECT_FALSE(updater.isSending());
    EXPECT_EQ(AdapterProbe::mailbox(link).snapshot().cmd, CMD_LEAVE_UPDATE);
    // The restart waits for the host to read the last acknowledgement, which needs the GUI thread.
    ASSERT_TRUE(waitUntil([this] { return !adapter->state().bootMode; }));
    ASSERT_TRUE(waitUntil([this] { return link.connected(); }));
    const std::vector<ReceivedMessage> messages = updateMessages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), (ReceivedMessage{CMD_LEAVE_UPDATE, {}}));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(UpdateTransfer, AnAdapterThatLeavesDuringATransferEndsItAndTheFileCanBeChosenAgain)
{
    start(true);
    const Bytes file = updateFile(kHeader, payloadBytes(100 * kFirmwareChunkSize), 64);
    choose(file);
    ASSERT_TRUE(waitUntil([this] { return adapter->state().image.size() >= 3 * kFirmwareChunkSize; }));

    // Out and back in its boot loader, which starts afresh with an empty image.
    adapter->unplug();
    adapter->enterBootLoader();
    ASSERT_TRUE(waitUntil([this] { return !prompts.messages.empty(); }));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Error!\r\nRetry again"));
    EXPECT_FALSE(updater.isSending());
    EXPECT_EQ(controls.progressBar->value(), 0);
    EXPECT_FALSE(controls.selectFileButton->isEnabled());
    adapter->clearReceived();
    bus.plug(adapter);
    ASSERT_TRUE(waitUntil(
        [this] { return controls.selectFileButton->isEnabled() && controls.resetSettingsButton->isEnabled(); }));
    EXPECT_TRUE(link.bootMode());
    drainPostedEvents();
    EXPECT_TRUE(chunksReceived().empty()) << "no chunk of the old transfer went to the new boot loader";

    choose(file);
    waitForTheEnd();
    EXPECT_EQ(prompts.messages.back().text, QStringLiteral("Update success!"));
    EXPECT_EQ(chunksReceived().front(), chunkAt(file, 64));
}

TEST_F(UpdateTransfer, AnAdapterRunningItsFirmwareAfterALostTransferIsAskedIntoItsBootLoader)
{
    start(true);
    choose(updateFile(kHeader, payloadBytes(100 * kFirmwareChunkSize)));
    ASSERT_TRUE(waitUntil([this] { return adapter->state().image.size() >= kFirmwareChunkSize; }));
    adapter->unplug();
    ASSERT_TRUE(waitUntil([this] { return !prompts.messages.empty(); }));

    const auto other = std::make_shared<EmulatedAdapter>();
    bus.plug(other);
    ASSERT_TRUE(waitUntil([this] { return controls.selectFileButton->isEnabled(); })) << "woken into its boot loader";
    EXPECT_EQ(other->state().received.front(), (ReceivedMessage{CMD_ENTER_BOOT, {}}));
    EXPECT_TRUE(other->state().image.empty());
}

TEST_F(UpdateTransfer, ResetSettingsIsConfirmedByTheBootLoader)
{
    DeviceRecord changed = initialAdapterRecord();
    changed.mic_gain = static_cast<std::int8_t>(changed.mic_gain + 1);
    adapter->setRecord(changed);
    start(true);
    controls.resetSettingsButton->click();
    ASSERT_TRUE(waitUntil([this] { return !prompts.messages.empty(); }));
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Settings is reset!"));
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Information);
    EXPECT_EQ(adapter->state().record.mic_gain, initialAdapterRecord().mic_gain);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(SteppedUpdateTransfer, ResetSettingsWithoutAnAdapterOnlyFillsTheSlot)
{
    link.start();
    drainPostedEvents();
    dialog.show();
    controls.resetSettingsButton->click();
    ASSERT_TRUE(waitUntil(
        [this] { return !AdapterProbe::mailbox(link).requestPending() && !AdapterProbe::mailbox(link).sending(); }));
    const Mailbox::Snapshot taken = AdapterProbe::mailbox(link).snapshot();
    EXPECT_EQ(taken.cmd, CMD_RESET_SETTINGS);
    EXPECT_EQ(taken.result, 0) << "nothing was written";
    drainPostedEvents();
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace

} // namespace vestra7
