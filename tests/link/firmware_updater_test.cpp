// SPDX-License-Identifier: GPL-3.0-or-later
// The firmware update's state machine on its own, with a recording port and a fake clock: what goes
// to the adapter and when, and what is reported.
#include "support/update_test_files.h"
#include "support/updater_fakes.h"

#include "link/commands.h"
#include "link/firmware_updater.h"
#include "model/byte_span.h"

#include <gtest/gtest.h>

#include <functional>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Message = RecordingPort::Message;
using Messages = std::vector<Message>;
using Outcome = FirmwareUpdater::Outcome;

constexpr char kHeader[] = "MODEL=VESTRA7 &VERSION=1.3";

FirmwareImage imageOf(const Bytes &bytes, std::uint64_t position)
{
    FirmwareImage image;
    image.load(toByteArray(bytes));
    image.setPosition(position);
    return image;
}

// The chunk that starts at `position`, padded with zeros past the end of the file.
Message chunkAt(const Bytes &file, std::size_t position)
{
    Bytes chunk(file.begin() + static_cast<std::ptrdiff_t>(position),
                file.begin() + static_cast<std::ptrdiff_t>(std::min(file.size(), position + kFirmwareChunkSize)));
    chunk.resize(kFirmwareChunkSize, 0);
    return {CMD_FW_CHUNK, chunk};
}

const Message kEnd{CMD_FW_END, {}};
const Message kEnterBoot{CMD_ENTER_BOOT, {}};

class Updater : public testing::Test
{
protected:
    Updater()
    {
        QObject::connect(&updater, &FirmwareUpdater::bootLoaderReadyChanged,
                         [this](bool ready) { actions.push_back(ready); });
        QObject::connect(&updater, &FirmwareUpdater::progressChanged,
                         [this](std::uint64_t position, std::uint64_t size) { progress.emplace_back(position, size); });
        QObject::connect(&updater, &FirmwareUpdater::progressCleared, [this] { ++progressClears; });
        QObject::connect(&updater, &FirmwareUpdater::finished, [this](Outcome result) {
            results.push_back(result);
            // Runs as a modal result box would: while it is open, once.
            if (whileResultShown)
                std::exchange(whileResultShown, {})();
        });
        QObject::connect(&updater, &FirmwareUpdater::settingsReset, [this] { ++settingsResets; });
        QObject::connect(&updater, &FirmwareUpdater::ended, [this] { ++ends; });
    }

    // The adapter held for an update and its boot loader found, past the first tick.
    void readyInBootLoader()
    {
        timer.tick();
        updater.enterBootLoader();
        updater.adapterFound(true);
        port.take();
    }

    void start(const Bytes &file, std::uint64_t payloadOffset) { updater.transfer(imageOf(file, payloadOffset)); }

    void acknowledge() { updater.replyReceived(CMD_FW_CHUNK, {}); }
    void answerEnd(const Bytes &data) { updater.replyReceived(CMD_FW_END, data); }

    RecordingPort port;
    std::unique_ptr<FakeTickTimer> m_ownTimer = std::make_unique<FakeTickTimer>();
    FakeTickTimer &timer = *m_ownTimer;
    FirmwareUpdater updater{port, std::move(m_ownTimer)};

    std::vector<bool> actions;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
    int progressClears = 0;
    std::vector<Outcome> results;
    std::function<void()> whileResultShown;
    int settingsResets = 0;
    int ends = 0;
};

TEST_F(Updater, TicksComeHalfASecondAfterCreationThenEvery200MsAndWakeTheBootLoaderOnlyWhileHeld)
{
    updater.enterBootLoader();
    timer.advance(499ms);
    EXPECT_TRUE(port.take().empty());
    timer.advance(1ms);
    EXPECT_EQ(port.take(), Messages{kEnterBoot});
    timer.advance(199ms);
    EXPECT_TRUE(port.take().empty());
    timer.advance(1ms);
    EXPECT_EQ(port.take(), Messages{kEnterBoot}) << "again at each tick";

    updater.leaveBootLoader();
    EXPECT_EQ(port.take(), (Messages{{CMD_LEAVE_UPDATE, {}}}));
    timer.advance(1s);
    EXPECT_TRUE(port.take().empty()) << "let go";

    updater.enterBootLoader();
    updater.adapterFound(false);
    timer.tick();
    EXPECT_EQ(port.take(), Messages{kEnterBoot}) << "in its firmware";
    updater.adapterFound(true);
    timer.advance(1s);
    EXPECT_TRUE(port.take().empty()) << "in its boot loader";
    EXPECT_TRUE(updater.bootMode());
    EXPECT_EQ(actions, (std::vector<bool>{false, true}));
}

TEST_F(Updater, EachChunkGoesOnTheAcknowledgementOfTheOneBeforeAndTheResultEndsTheUpdate)
{
    readyInBootLoader();
    // 1252 bytes, the payload from 64 on: three chunks, the last one padded.
    const Bytes file = updateFile(kHeader, payloadBytes(2 * kFirmwareChunkSize + 100), 64);
    ASSERT_EQ(file.size(), 1252u);
    start(file, 64);
    EXPECT_TRUE(updater.isSending());
    EXPECT_TRUE(port.take().empty()) << "the first chunk waits for the tick";

    timer.tick();
    EXPECT_EQ(port.take(), Messages{chunkAt(file, 64)});
    acknowledge();
    EXPECT_EQ(port.take(), Messages{chunkAt(file, 608)}) << "at once";
    acknowledge();
    EXPECT_EQ(port.take(), Messages{chunkAt(file, 1152)});
    acknowledge();
    EXPECT_EQ(port.take(), Messages{kEnd});
    EXPECT_FALSE(updater.isSending());
    // The figures count the whole file, header included; the padding takes the last one past its end.
    EXPECT_EQ(progress,
              (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{608, 1252}, {1152, 1252}, {1696, 1252}}));

    timer.advance(1s);
    EXPECT_TRUE(port.take().empty()) << "the result is awaited";
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(updater.holdsAdapter());

    answerEnd({1});
    EXPECT_EQ(results, std::vector<Outcome>{Outcome::Success});
    EXPECT_FALSE(updater.bootMode()) << "the main window polls again";
    EXPECT_EQ(progressClears, 1);
    timer.advance(99ms);
    EXPECT_EQ(ends, 0);
    timer.advance(1ms);
    EXPECT_EQ(ends, 1) << "100 ms after the result";
    EXPECT_FALSE(updater.holdsAdapter());
    timer.advance(1s);
    EXPECT_EQ(ends, 1) << "once";
    EXPECT_TRUE(port.take().empty()) << "the adapter restarts by itself: nothing is said to it";
}

TEST_F(Updater, AnUnacknowledgedChunkGoesAgainAWholeIntervalAfterItWasSent)
{
    readyInBootLoader();
    const Bytes file = updateFile(kHeader, payloadBytes(3 * kFirmwareChunkSize), 64);
    start(file, 64);
    timer.tick();
    EXPECT_EQ(port.take(), Messages{chunkAt(file, 64)});

    // Acknowledged in the middle of an interval: the next chunk's time runs from its own sending.
    timer.advance(150ms);
    acknowledge();
    EXPECT_EQ(port.take(), Messages{chunkAt(file, 608)});
    timer.advance(199ms);
    EXPECT_TRUE(port.take().empty()) << "not before its acknowledgement is overdue";
    timer.advance(1ms);
    EXPECT_EQ(port.take(), Messages{chunkAt(file, 608)}) << "the same chunk again";
    timer.advance(200ms);
    EXPECT_EQ(port.take(), Messages{chunkAt(file, 608)}) << "and again, without limit";

    acknowledge();
    EXPECT_EQ(port.take(), Messages{chunkAt(file, 1152)});
    timer.advance(199ms);
    EXPECT_TRUE(port.take().empty());
}

TEST_F(Updater, ALateAcknowledgementAndThatOfTheRepeatBothMoveOn)
{
    readyInBootLoader();
    const Bytes file = updateFile(kHeader, payloadBytes(4 * kFirmwareChunkSize), 64);
    start(file, 64);
    timer.tick();
    timer.advance(200ms);
    EXPECT_EQ(port.take(), (Messages{chunkAt(file, 64), chunkAt(file, 64)}));

    // Acknowledgements carry nothing to tell them apart: the second chunk is skipped.
    acknowledge();
    acknowledge();
    EXPECT_EQ(port.take(), (Messages{chunkAt(file, 608), chunkAt(file, 1152)}));
    EXPECT_EQ(updater.image().position(), 1152u);
}

struct ResultCase
{
    Bytes data;
    Outcome result;
};

class UpdaterResult : public Updater, public testing::WithParamInterface<ResultCase>
{
};

INSTANTIATE_TEST_SUITE_P(Updater, UpdaterResult,
                         testing::Values(ResultCase{{1}, Outcome::Success}, ResultCase{{0xFF, 0}, Outcome::Success},
                                         ResultCase{{0}, Outcome::Failure},
                                         // Without its byte a result cannot be taken for a success.
                                         ResultCase{{}, Outcome::Failure}));

TEST_P(UpdaterResult, IsTheFirstDataByteAndComesOncePerTransfer)
{
    readyInBootLoader();
    start(updateFile(kHeader, payloadBytes(100)), 0);
    timer.tick();
    acknowledge();
    ASSERT_EQ(port.take().back(), kEnd);

    answerEnd(GetParam().data);
    answerEnd(GetParam().data);
    EXPECT_EQ(results, std::vector<Outcome>{GetParam().result});
    EXPECT_FALSE(updater.bootMode());
    timer.advance(100ms);
    EXPECT_EQ(ends, 1) << "the update ends after a failure as after success";
}

TEST_F(Updater, AnAdapterLeavingMidTransferEndsItWithOneFailureAtTheNextTick)
{
    readyInBootLoader();
    const Bytes file = updateFile(kHeader, payloadBytes(20 * kFirmwareChunkSize), 64);
    start(file, 64);
    timer.tick();
    acknowledge();
    port.take();

    updater.adapterLeft();
    EXPECT_TRUE(results.empty()) << "not inside the link's discovery";
    acknowledge();
    EXPECT_TRUE(port.take().empty()) << "nothing goes on after the adapter has gone";
    timer.tick();
    EXPECT_EQ(results, std::vector<Outcome>{Outcome::AdapterLost});
    EXPECT_EQ(progressClears, 1);
    EXPECT_FALSE(updater.bootMode());
    EXPECT_EQ(actions.back(), false) << "no boot loader to send a file to";
    EXPECT_TRUE(port.take().empty());

    timer.tick();
    EXPECT_EQ(port.take(), Messages{kEnterBoot}) << "the ticks ask for a boot loader again";
    updater.adapterFound(true);
    EXPECT_EQ(actions.back(), true) << "the file can be chosen again";
    timer.advance(1s);
    EXPECT_TRUE(port.take().empty());
    EXPECT_EQ(results.size(), 1u);
    EXPECT_EQ(ends, 0) << "the adapter stays held for the next try";
}

TEST_F(Updater, ABootLoaderBackBeforeTheTickDoesNotTakeOverTheTransfer)
{
    readyInBootLoader();
    const Bytes file = updateFile(kHeader, payloadBytes(20 * kFirmwareChunkSize), 64);
    start(file, 64);
    timer.tick();
    port.take();

    // Out and in again: the link claims a new adapter object, which starts with an empty image.
    updater.adapterLeft();
    updater.adapterFound(true);
    timer.tick();
    EXPECT_EQ(results, std::vector<Outcome>{Outcome::AdapterLost});
    EXPECT_TRUE(port.take().empty()) << "no chunk of the old transfer";
    EXPECT_TRUE(updater.bootMode());
    EXPECT_EQ(actions.back(), true);
    EXPECT_FALSE(updater.isSending());
}

TEST_F(Updater, OnceTheEndHasGoneOutLeavingIsNoFailure)
{
    readyInBootLoader();
    start(updateFile(kHeader, payloadBytes(100)), 0);
    timer.tick();
    acknowledge();
    ASSERT_EQ(port.take().back(), kEnd);

    // The adapter restarts by itself once it has answered; its answer may be lost on the way.
    updater.adapterLeft();
    updater.adapterFound(false);
    timer.advance(1s);
    EXPECT_TRUE(results.empty()) << "no result is made up";
    EXPECT_EQ(actions.back(), false);
    EXPECT_TRUE(port.take().empty());

    updater.leaveBootLoader();
    EXPECT_EQ(port.take(), (Messages{{CMD_LEAVE_UPDATE, {}}}));
}

TEST_F(Updater, NothingAfterTheResultReportsAgain)
{
    readyInBootLoader();
    start(updateFile(kHeader, payloadBytes(100)), 0);
    timer.tick();
    acknowledge();
    // While the result is shown, its reply comes again, the adapter restarts into its firmware and the
    // ticks go on.
    whileResultShown = [this] {
        answerEnd({0});
        updater.adapterLeft();
        timer.advance(200ms);
        updater.adapterFound(false);
        timer.advance(200ms);
    };
    answerEnd({1});
    updater.adapterLeft();
    timer.advance(100ms);
    updater.adapterFound(false);
    EXPECT_EQ(results, std::vector<Outcome>{Outcome::Success});
    EXPECT_EQ(ends, 1);
}

TEST_F(Updater, CloseStopsTheTransferAndTakesTheAdapterOutOfItsBootLoader)
{
    readyInBootLoader();
    const Bytes file = updateFile(kHeader, payloadBytes(20 * kFirmwareChunkSize), 64);
    start(file, 64);
    timer.tick();
    port.take();

    updater.leaveBootLoader();
    EXPECT_EQ(port.take(), (Messages{{CMD_LEAVE_UPDATE, {}}}));
    EXPECT_FALSE(updater.bootMode()) << "the main window polls again";
    EXPECT_FALSE(updater.isSending());
    acknowledge();
    timer.advance(1s);
    EXPECT_TRUE(port.take().empty()) << "nothing goes on once the adapter is let go";
    EXPECT_TRUE(results.empty());
}

TEST_F(Updater, APayloadOffsetAtOrPastTheEndSendsTheEndAtTheFirstTick)
{
    readyInBootLoader();
    const Bytes file = updateFile(kHeader, {});
    for (const std::uint64_t offset : {file.size(), file.size() + 10}) {
        SCOPED_TRACE(offset);
        start(file, offset);
        EXPECT_TRUE(port.take().empty());
        timer.tick();
        EXPECT_EQ(port.take(), Messages{kEnd}) << "without any chunk";
        updater.leaveBootLoader();
        port.take();
        updater.enterBootLoader();
    }
}

TEST_F(Updater, ResetSettingsIsSentAndItsConfirmationReportedOtherRepliesChangeNothing)
{
    readyInBootLoader();
    updater.resetSettings();
    EXPECT_EQ(port.take(), (Messages{{CMD_RESET_SETTINGS, {}}}));
    EXPECT_EQ(settingsResets, 0) << "the message waits for the adapter's reply";

    start(updateFile(kHeader, payloadBytes(2000)), 0);
    for (int cmd = 241; cmd <= 255; ++cmd) {
        if (cmd != CMD_FW_END)
            updater.replyReceived(static_cast<std::uint8_t>(cmd), {});
    }
    EXPECT_EQ(settingsResets, 1);
    EXPECT_EQ(updater.image().position(), 0u);
    EXPECT_TRUE(updater.isSending());
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(port.take().empty());
}

} // namespace

} // namespace vestra7
