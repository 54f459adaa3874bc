// Updates of the emulated adapter through the real link (worker, reading thread, receiver) with the
// USB timing model on: what reaches the boot loader, in which order, and what the window makes of its
// replies.
#include "update_test_files.h"
#include "update_test_window.h"

#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/gui_wait.h"

#include "link/commands.h"
#include "link/device_link.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

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
    UpdateTransfer()
    {
        adapter->setUsbTiming(true);
        fu.setPrompts(prompts.prompts(fu));
        link.setView(&view);
        link.setUpdateReplyHandler([this](std::uint8_t cmd, std::span<const std::uint8_t> p) { fu.uret(cmd, p); });
    }

    // No report may reach a window that is gone.
    ~UpdateTransfer() override { link.shutdown(); }

    // Plugs the adapter in, starts the link and opens the update window once the adapter is claimed.
    void start(bool inBootLoader)
    {
        if (inBootLoader)
            adapter->enterBootLoader();
        bus.plug(adapter);
        ASSERT_TRUE(link.start_device_link());
        ASSERT_TRUE(waitUntil([this] { return link.device_present.load(); }));
        fu.show();
        ASSERT_EQ(link.boot_mode, inBootLoader);
        ASSERT_EQ(fu.select->isEnabled(), inBootLoader);
        ASSERT_EQ(fu.dev_name->text(), inBootLoader ? QStringLiteral("VESTRA7 (boot)") : QStringLiteral("VESTRA7"));
    }

    void choose(const Bytes &file)
    {
        prompts.files.push_back(files.write(QStringLiteral("fw.xupd"), file));
        fu.select->click();
        ASSERT_TRUE(fu.fw_sending);
    }

    // Runs until the window has shown the result and closed.
    void waitForTheEnd()
    {
        ASSERT_TRUE(waitUntil([this] { return !prompts.messages.empty() && !fu.isVisible(); }));
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

    bool adapterHasChunks(std::size_t count)
    {
        return adapter->waitFor([count](const AdapterState &state) {
            return std::count_if(state.received.begin(), state.received.end(), [](const ReceivedMessage &m) {
                       return m.cmd == CMD_FW_CHUNK;
                   }) == static_cast<std::ptrdiff_t>(count);
        });
    }

    // One tick by hand; the timer is stopped in the tests that step the transfer themselves.
    Bytes tickAndTakeChunk(std::size_t chunksBefore)
    {
        fu.tmrbTimer();
        EXPECT_EQ(fu.tmrb->interval(), FirmwareUpdateDialog::kResendMs);
        EXPECT_TRUE(adapterHasChunks(chunksBefore + 1));
        const std::vector<Bytes> chunks = chunksReceived();
        return chunks.empty() ? Bytes{} : chunks.back();
    }

    EmulatedBus bus;
    std::shared_ptr<EmulatedAdapter> adapter = std::make_shared<EmulatedAdapter>();
    DeviceLink link{[this] {
        return std::make_unique<EmulatedBackend>(bus);
    }};
    FirmwareUpdateDialog fu{link};
    UpdateWindowView view{fu};
    RecordedPrompts prompts;
    FileFolder files;
};

TEST_F(UpdateTransfer, AWholeUpdateFromNormalFirmwareArrivesByteForByteInOrder)
{
    start(false);
    // The window's ticks ask the adapter into its boot loader; discovery finds it there.
    ASSERT_TRUE(waitUntil([this] { return fu.select->isEnabled(); }));
    EXPECT_TRUE(link.boot_mode);
    EXPECT_EQ(fu.dev_name->text(), QStringLiteral("VESTRA7 (boot)"));

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
    EXPECT_FALSE(link.boot_mode);
    EXPECT_FALSE(fu.fw_sending);
    // The adapter restarts into the new firmware and is found there again.
    EXPECT_TRUE(waitUntil([this] { return fu.dev_name->text() == QStringLiteral("VESTRA7"); }));
    EXPECT_TRUE(link.connected());
}

TEST_F(UpdateTransfer, AChunkWhoseAcknowledgementIsLostGoesAgainAtTheNextTick)
{
    start(true);
    fu.tmrb->stop();
    adapter->withholdReply(CMD_FW_CHUNK, 1);
    const Bytes file = updateFile(kHeader, payloadBytes(3 * kFirmwareChunkSize), 544);
    choose(file);

    EXPECT_EQ(tickAndTakeChunk(0), chunkAt(file, 544));
    ASSERT_TRUE(waitUntil([this] { return fu.fw_image.position() == 1088; }));
    EXPECT_EQ(fu.tmrb->interval(), FirmwareUpdateDialog::kNextChunkMs) << "the next chunk goes at once";

    EXPECT_EQ(tickAndTakeChunk(1), chunkAt(file, 1088));
    // No acknowledgement: the tick after the resend interval sends the same chunk again.
    EXPECT_EQ(fu.fw_image.position(), 1088u);
    EXPECT_EQ(tickAndTakeChunk(2), chunkAt(file, 1088));
    ASSERT_TRUE(waitUntil([this] { return fu.fw_image.position() == 1632; }));

    EXPECT_EQ(tickAndTakeChunk(3), chunkAt(file, 1632));
    ASSERT_TRUE(waitUntil([this] { return fu.fw_image.position() == 2176; }));
    fu.tmrbTimer();
    ASSERT_TRUE(waitUntil([this] { return !prompts.messages.empty(); }));
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Update success!"));
    EXPECT_EQ(updateMessages().back().cmd, CMD_FW_END);
}

TEST_F(UpdateTransfer, ALateAcknowledgementAndThatOfTheRepeatMoveOnTwice)
{
    start(true);
    fu.tmrb->stop();
    adapter->delayReplies(CMD_FW_CHUNK, 50ms);
    const Bytes file = updateFile(kHeader, payloadBytes(4 * kFirmwareChunkSize), 64);
    choose(file);

    EXPECT_EQ(tickAndTakeChunk(0), chunkAt(file, 64));
    // The acknowledgement has not been handled when the resend interval is over.
    ASSERT_EQ(fu.fw_image.position(), 64u);
    EXPECT_EQ(tickAndTakeChunk(1), chunkAt(file, 64));
    // Acknowledgements carry nothing to tell them apart: both count, and the second chunk is skipped.
    ASSERT_TRUE(waitUntil([this] { return fu.fw_image.position() == 64 + 2 * kFirmwareChunkSize; }));
    EXPECT_EQ(tickAndTakeChunk(2), chunkAt(file, 64 + 2 * kFirmwareChunkSize));
}

TEST_F(UpdateTransfer, APayloadOffsetPastTheEndSendsTheEndAtOnce)
{
    start(true);
    Bytes file = updateFile(kHeader, {});
    file[0] = static_cast<std::uint8_t>(file.size() + 10);
    file[1] = 0;
    choose(file);
    waitForTheEnd();
    EXPECT_EQ(updateMessages(), (std::vector<ReceivedMessage>{{CMD_FW_END, {}}}));
    EXPECT_TRUE(adapter->state().image.empty());
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Update success!"));
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
    EXPECT_FALSE(link.boot_mode);
    EXPECT_EQ(fu.pb->value(), 0);
    EXPECT_EQ(fu.pb->captionLabel()->text(), QStringLiteral("0 %"));
}

TEST_F(UpdateTransfer, CloseStopsATransferAndTakesTheAdapterOutOfItsBootLoader)
{
    start(true);
    choose(updateFile(kHeader, payloadBytes(100 * kFirmwareChunkSize)));
    ASSERT_TRUE(waitUntil([this] { return adapter->state().image.size() >= 2 * kFirmwareChunkSize; }));

    fu.cancel->click();
    EXPECT_FALSE(fu.isVisible());
    EXPECT_FALSE(link.boot_mode);
    EXPECT_FALSE(fu.fw_sending);
    // A tick of the hidden window sends nothing, so 252 is what the adapter gets last.
    fu.tmrbTimer();
    EXPECT_EQ(link.mailbox.snapshot().cmd, CMD_LEAVE_UPDATE);
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
    ASSERT_TRUE(waitUntil([this] { return !fu.fw_sending; }));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Error!\r\nRetry again"));
    EXPECT_EQ(fu.pb->value(), 0);
    EXPECT_FALSE(fu.select->isEnabled());
    adapter->clearReceived();
    bus.plug(adapter);
    ASSERT_TRUE(waitUntil([this] { return fu.select->isEnabled() && fu.def->isEnabled(); }));
    EXPECT_TRUE(link.boot_mode);
    fu.tmrbTimer();
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
    ASSERT_TRUE(waitUntil([this] { return !fu.fw_sending; }));

    const auto other = std::make_shared<EmulatedAdapter>();
    bus.plug(other);
    ASSERT_TRUE(waitUntil([this] { return fu.select->isEnabled(); })) << "woken into its boot loader";
    EXPECT_EQ(other->state().received.front(), (ReceivedMessage{CMD_ENTER_BOOT, {}}));
    EXPECT_TRUE(other->state().image.empty());
}

TEST_F(UpdateTransfer, ResetSettingsIsConfirmedByTheBootLoader)
{
    DeviceRecord changed = initialAdapterRecord();
    changed.mic_gain = static_cast<std::int8_t>(changed.mic_gain + 1);
    adapter->setRecord(changed);
    start(true);
    fu.def->click();
    ASSERT_TRUE(waitUntil([this] { return !prompts.messages.empty(); }));
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Settings is reset!"));
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Information);
    EXPECT_EQ(adapter->state().record.mic_gain, initialAdapterRecord().mic_gain);
    EXPECT_TRUE(fu.isVisible());
}

TEST_F(UpdateTransfer, ResetSettingsWithoutAnAdapterOnlyFillsTheSlot)
{
    ASSERT_TRUE(link.start_device_link());
    drainPostedEvents();
    fu.tmrb->stop();
    fu.show();
    fu.def->click();
    ASSERT_TRUE(waitUntil([this] { return !link.mailbox.request_pending() && !link.mailbox.sending(); }));
    const Mailbox::Snapshot taken = link.mailbox.snapshot();
    EXPECT_EQ(taken.cmd, CMD_RESET_SETTINGS);
    EXPECT_EQ(taken.result, 0) << "nothing was written";
    drainPostedEvents();
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace
