// SPDX-License-Identifier: GPL-3.0-or-later
// Firmware updates through the whole program over a faulty link, and with replies that never come.
// An update ends with the adapter holding the exact image and "Update success!", or with the
// adapter's failure and "Error!" / "Retry again", or with no result at all, which "Close" leaves;
// never with success over a damaged image.
//
// VESTRA7_UPDATE_ATTEMPTS sets how many updates the faulty run makes (8 by default).
#include "link_faults.h"
#include "program_fixture.h"
#include "run_length.h"
#include "support/adapter_probe.h"
#include "support/update_test_files.h"

#include "link/commands.h"
#include "support/gui_wait.h"
#include "support/update_dialog_controls.h"
#include "ui/firmware_update_dialog.h"
#include "widgets/captioned_progress_bar.h"

#include <QPushButton>

#include <iostream>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr char kHeader[] = "MODEL=VESTRA7 &VERSION=1.3&DATE=2024-05-01";
constexpr std::uint16_t kPayloadOffset = 64;

// What a good transfer leaves in the boot loader: the payload, its last chunk filled with zeros.
Bytes paddedImage(Bytes payload)
{
    payload.resize((payload.size() + kFirmwareChunkSize - 1) / kFirmwareChunkSize * kFirmwareChunkSize, 0);
    return payload;
}

const QString kSuccess = QStringLiteral("Update success!");
const QString kFailure = QStringLiteral("Error!\r\nRetry again");

class UpdateTest : public ProgramOnEmulatedBus
{
protected:
    FirmwareUpdateDialog &dialog() { return app->updateDialog(); }
    FirmwareUpdater &updater() { return app->adapter().updater(); }

    // Shows the update window as "Update firmware" does, but without a modal loop of its own, which
    // would hold the test up until the window closed.
    void openUpdateWindowAndWaitForTheBootLoader()
    {
        dialog().QDialog::open();
        ASSERT_TRUE(waitUntil([this] { return updateControls().selectFileButton->isEnabled(); }, 60s))
            << "the boot loader was not found";
        EXPECT_EQ(dialog().deviceName(), QStringLiteral("VESTRA7 (boot)"));
    }

    void choose(const Bytes &payload)
    {
        prompts.files.push_back(files.write(QStringLiteral("fw.xupd"), updateFile(kHeader, payload, kPayloadOffset)));
        updateControls().selectFileButton->click();
        ASSERT_TRUE(updater().isSending());
    }

    int chunksReceived() const
    {
        int count = 0;
        adapterNow([&count](const AdapterState &s) {
            count = static_cast<int>(std::count_if(s.received.begin(), s.received.end(),
                                                   [](const ReceivedMessage &m) { return m.cmd == CMD_FW_CHUNK; }));
            return true;
        });
        return count;
    }

    // The end of the update went out, and its result will not come: the adapter never got the end
    // (a write is over only once the adapter has taken or lost it), or it answered and restarted,
    // which it does only after its answer has been read and handed to the window.
    bool resultLost()
    {
        const Mailbox &mailbox = AdapterProbe::mailbox(app->adapter());
        if (updater().isSending() || !updater().image().atEnd() || mailbox.requestPending() || mailbox.sending() ||
            mailbox.snapshot().cmd != CMD_FW_END)
            return false;
        bool gotEnd = false;
        bool inBootLoader = true;
        adapterNow([&](const AdapterState &s) {
            gotEnd = std::any_of(s.received.begin(), s.received.end(),
                                 [](const ReceivedMessage &m) { return m.cmd == CMD_FW_END; });
            inBootLoader = s.bootMode;
            return true;
        });
        return !gotEnd || !inBootLoader;
    }

    // The adapter back in its firmware and the main window showing its records again. When "Close"
    // was lost on its way, the adapter still waits in its boot loader: open and close the window again.
    bool backInFirmware()
    {
        for (int tries = 0; tries < 5; ++tries) {
            if (waitUntil([this] { return connectedOnScreen(); }, 15s))
                return waitForRefreshes(1, 60s);
            dialog().QDialog::open();
            waitUntil([this] { return updateControls().selectFileButton->isEnabled(); }, 15s);
            updateControls().closeButton->click();
        }
        return false;
    }

    FileFolder files;
};

TEST_F(UpdateTest, UnderLinkFaultsSuccessMeansTheExactImage)
{
    const int attempts = countFromEnvironment("VESTRA7_UPDATE_ATTEMPTS", 8);
    const std::uint32_t seed = faultSeed();
    startConnected();
    adapter->setLinkFaults(faultyLink(seed));

    int successes = 0;
    int failures = 0;
    int unanswered = 0;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        // Payloads of two to seven chunks, the last one short, different each time.
        Bytes payload = payloadBytes(kFirmwareChunkSize * static_cast<std::size_t>(1 + attempt % 6) + 100);
        for (std::uint8_t &byte : payload)
            byte = static_cast<std::uint8_t>(byte + attempt);
        adapter->expectImage(payload);
        adapter->clearReceived();
        prompts.messages.clear();

        openUpdateWindowAndWaitForTheBootLoader();
        choose(payload);
        ASSERT_TRUE(waitUntil([this] { return !prompts.messages.empty() || resultLost(); }, 180s))
            << "attempt " << attempt << " neither ended nor lost its result";
        if (prompts.messages.empty()) {
            // The window waits for a result that will not come; "Close" leaves it.
            ++unanswered;
            EXPECT_TRUE(updateControls().closeButton->isEnabled());
            updateControls().closeButton->click();
            EXPECT_FALSE(dialog().isVisible());
        } else {
            ASSERT_EQ(prompts.messages.size(), 1u) << "attempt " << attempt;
            const QString result = prompts.messages[0].text;
            const bool exact = adapter->state().image == paddedImage(payload);
            if (result == kSuccess) {
                ++successes;
                EXPECT_TRUE(exact) << "attempt " << attempt << ": success reported over a damaged image";
            } else {
                ++failures;
                EXPECT_EQ(result, kFailure) << "attempt " << attempt;
                EXPECT_FALSE(exact) << "attempt " << attempt << ": a good image reported as failed";
            }
            EXPECT_TRUE(waitUntil([this] { return !dialog().isVisible(); })) << "the window closes after the result";
        }
        ASSERT_TRUE(backInFirmware()) << "attempt " << attempt;
    }
    std::cout << "updates under faults: " << successes << " succeeded, " << failures << " failed, " << unanswered
              << " without a result" << std::endl;
    RecordProperty("successes", successes);
    RecordProperty("failures", failures);
    RecordProperty("unanswered", unanswered);
}

TEST_F(UpdateTest, WithoutAnAnswerToTheEndTheWindowWaitsAndCloseLeavesIt)
{
    const Bytes payload = payloadBytes(3 * kFirmwareChunkSize);
    adapter->expectImage(payload);
    adapter->withholdReply(CMD_FW_END);
    startConnected();
    openUpdateWindowAndWaitForTheBootLoader();
    choose(payload);

    // The adapter takes every chunk and the end, and restarts into its new firmware without a word.
    ASSERT_TRUE(waitUntil([this] {
        return !updater().isSending() &&
               adapterNow([](const AdapterState &s) { return !s.bootMode && s.restarts == 2; });
    }));
    EXPECT_EQ(adapter->state().image, paddedImage(payload));
    drainPostedEvents();
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_TRUE(prompts.messages.empty()) << "no result is made up";
    EXPECT_TRUE(updateControls().closeButton->isEnabled());
    EXPECT_FALSE(updateControls().selectFileButton->isEnabled())
        << "no second file while the first one's result is awaited";

    updateControls().closeButton->click();
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_FALSE(app->adapter().bootMode());
    ASSERT_TRUE(waitUntil([this] { return connectedOnScreen(); }));
    EXPECT_TRUE(waitForRefreshes(2)) << "polling goes on";
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(UpdateTest, WithoutAcknowledgementsTheChunkGoesAgainUntilCloseLeaves)
{
    const Bytes payload = payloadBytes(3 * kFirmwareChunkSize);
    adapter->withholdReply(CMD_FW_CHUNK);
    startConnected();
    openUpdateWindowAndWaitForTheBootLoader();
    choose(payload);

    ASSERT_TRUE(waitUntil([this] { return chunksReceived() >= 3; }));
    EXPECT_EQ(updater().image().position(), kPayloadOffset) << "nothing was acknowledged";
    EXPECT_EQ(updateControls().progressBar->value(), 0);
    const Bytes first(payload.begin(), payload.begin() + kFirmwareChunkSize);
    for (const ReceivedMessage &message : adapter->state().received) {
        if (message.cmd == CMD_FW_CHUNK) {
            EXPECT_EQ(message.payload, first) << "only the first chunk goes, again and again";
        }
    }

    updateControls().closeButton->click();
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_FALSE(app->adapter().bootMode());
    // "Close" takes the adapter out of its boot loader; the main window shows it again.
    ASSERT_TRUE(waitUntil([this] { return connectedOnScreen(); }));
    const int sent = chunksReceived();
    ASSERT_TRUE(waitForRefreshes(3));
    EXPECT_EQ(chunksReceived(), sent) << "no chunk goes after Close";
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace

} // namespace vestra7
