// SPDX-License-Identifier: GPL-3.0-or-later
// The emulated adapter and its bus: what the program's tests, demo and benchmarks rely on.
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/host_link.h"
#include "support/record_builders.h"

#include "link/commands.h"
#include "link/frame.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

std::vector<std::uint8_t> bytesOf(const DeviceRecord &record)
{
    return {record.bytes().begin(), record.bytes().end()};
}

DeviceRecord recordOf(const std::vector<std::uint8_t> &bytes)
{
    DeviceRecord record{};
    EXPECT_EQ(bytes.size(), kRecordSize);
    std::memcpy(&record, bytes.data(), std::min(bytes.size(), kRecordSize));
    return record;
}

std::vector<std::uint8_t> chunk(std::uint8_t seed)
{
    std::vector<std::uint8_t> bytes(544);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
    return bytes;
}

bool sameParty(const PartyEntry &a, const PartyEntry &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class EmulatedAdapterTest : public testing::Test
{
protected:
    void SetUp() override { bus.plug(adapter); }

    std::unique_ptr<HidConnection> open()
    {
        Result<std::unique_ptr<HidConnection>> opened = backend.open(adapter->instance());
        EXPECT_TRUE(opened) << opened.error().message.toStdString();
        return opened ? std::move(*opened) : nullptr;
    }

    // A record message and its reply.
    DeviceRecord writeRecord(HostLink &link, const DeviceRecord &record)
    {
        link.send(CMD_WRITE_RECORD, record.bytes());
        const auto reply = link.receive();
        EXPECT_TRUE(reply && reply->cmd == CMD_WRITE_RECORD);
        return reply ? recordOf(reply->payload) : DeviceRecord{};
    }

    DeviceRecord poll(HostLink &link)
    {
        link.send(CMD_POLL);
        const auto reply = link.receive();
        EXPECT_TRUE(reply && reply->cmd == CMD_POLL);
        return reply ? recordOf(reply->payload) : DeviceRecord{};
    }

    // Sends 251 and waits until the boot loader is on the bus.
    void restartIntoBootLoader(HostLink &link)
    {
        link.send(CMD_ENTER_BOOT);
        ASSERT_TRUE(adapter->waitFor([](const AdapterState &s) { return s.bootMode; }));
    }

    EmulatedBus bus;
    std::shared_ptr<EmulatedAdapter> adapter = std::make_shared<EmulatedAdapter>();
    EmulatedBackend backend{bus};
};

TEST_F(EmulatedAdapterTest, ShowsItsIdentityAndGetsANewInstanceAtEveryPlug)
{
    std::vector<HidDeviceInfo> found = bus.scan();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].manufacturer, "TARNIX");
    EXPECT_EQ(found[0].product, "VESTRA7");
    EXPECT_FALSE(found[0].serialNumber.isEmpty());
    EXPECT_EQ(found[0].versionNumber, 0x0102);
    EXPECT_EQ(found[0].inputReportLength, 65);
    EXPECT_EQ(found[0].outputReportLength, 65);

    auto connection = open();
    const QString first = adapter->instance();
    adapter->replug();
    EXPECT_NE(adapter->instance(), first);
    EXPECT_EQ(bus.scan().size(), 1u);

    // The old handle belongs to a device that left: it fails as a removed device does.
    const Report poll = makeReport(makeTrailerFrame({0, 0xFFFF, CMD_POLL}));
    const HidIoResult written = connection->write(poll);
    ASSERT_FALSE(written);
    EXPECT_TRUE(written.error().deviceGone);
    Report buffer{};
    EXPECT_FALSE(connection->read(buffer, 0));

    adapter->unplug();
    EXPECT_TRUE(bus.scan().empty());
    EXPECT_FALSE(backend.open(first));
}

TEST_F(EmulatedAdapterTest, BusTellsListenersOfEveryPlugAndUnplug)
{
    std::atomic<int> changes = 0;
    const int id = bus.subscribe([&] { ++changes; });
    adapter->replug();
    bus.plug(std::make_shared<EmulatedHidDevice>(HidDeviceInfo{{}, "Tarnix", "Keypad", {}, 1, 65, 65}));
    EXPECT_EQ(changes, 3);
    bus.unsubscribe(id);
    adapter->unplug();
    EXPECT_EQ(changes, 3);
}

TEST_F(EmulatedAdapterTest, AnswersAPollWithItsRecordInThirtyReports)
{
    auto connection = open();
    HostLink link(*connection);
    const DeviceRecord record = poll(link);
    EXPECT_EQ(bytesOf(record), bytesOf(initialAdapterRecord()));
    EXPECT_EQ(link.reportsRead(), 30);
    EXPECT_EQ(adapter->state().received, (std::vector<ReceivedMessage>{{CMD_POLL, {}}}));
}

TEST_F(EmulatedAdapterTest, RecordWriteTakesTheToolsFieldsAndKeepsItsLineState)
{
    auto connection = open();
    HostLink link(*connection);
    DeviceRecord host = initialAdapterRecord();
    host.act_line = 1;
    host.contact[3] = makeParty("Dora", "+4930123");
    host.call_list[15] = makeParty("Last", "99");
    host.subscriber[1] = makeParty("Eve", "555");
    host.mic_gain = 7;
    host.spk_gain = -3;
    host.auto_answer[0] = 5;
    // Fields that belong to the adapter: whatever the tool sends there is not taken.
    host.stat[0] = 9;
    host.rssi[1] = 5;
    host.sim_pres[0] = 0;
    std::memset(host.ops, 'X', sizeof host.ops);
    std::memset(host.usd_txt, 'U', sizeof host.usd_txt);
    std::memset(host.ussd_num, '7', sizeof host.ussd_num);

    const DeviceRecord reply = writeRecord(link, host);
    DeviceRecord expected = initialAdapterRecord();
    expected.act_line = 1;
    expected.contact[3] = host.contact[3];
    expected.call_list[15] = host.call_list[15];
    expected.subscriber[1] = host.subscriber[1];
    expected.mic_gain = 7;
    expected.spk_gain = -3;
    expected.auto_answer[0] = 5;
    EXPECT_EQ(bytesOf(reply), bytesOf(expected));
    EXPECT_EQ(bytesOf(adapter->state().record), bytesOf(expected));
    ASSERT_EQ(adapter->state().received.size(), 1u);
    EXPECT_EQ(adapter->state().received[0], (ReceivedMessage{CMD_WRITE_RECORD, bytesOf(host)}));
}

TEST_F(EmulatedAdapterTest, PlacesAndEndsCalls)
{
    auto connection = open();
    HostLink link(*connection);
    DeviceRecord host = initialAdapterRecord();
    for (int i = 0; i < kCallListCount; ++i)
        host.call_list[i] = makeParty("Old" + std::to_string(i), std::to_string(i));
    host.subscriber[0] = makeParty("Ann", "+4930555");
    host.resp[0] = 1;
    adapter->setDialDelay(1h);

    DeviceRecord reply = writeRecord(link, host);
    EXPECT_EQ(reply.stat[0], 2);
    EXPECT_EQ(reply.stat[1], 1);
    EXPECT_EQ(reply.resp[0], 0);
    EXPECT_TRUE(sameParty(reply.call_list[0], host.subscriber[0]));
    EXPECT_TRUE(sameParty(reply.call_list[1], host.call_list[0]));
    EXPECT_TRUE(sameParty(reply.call_list[15], host.call_list[14]));

    // A request that the line's state does not allow is used up without effect.
    host = reply;
    host.resp[0] = 1;
    reply = writeRecord(link, host);
    EXPECT_EQ(reply.stat[0], 2);
    EXPECT_EQ(reply.resp[0], 0);
    EXPECT_TRUE(sameParty(reply.call_list[1], host.call_list[1]));

    host = reply;
    host.resp[0] = -1;
    reply = writeRecord(link, host);
    EXPECT_EQ(reply.stat[0], 1);
    EXPECT_EQ(reply.resp[0], 0);

    // With a short dial delay the call goes through on its own.
    adapter->setDialDelay(5ms);
    host = reply;
    host.resp[1] = 1;
    reply = writeRecord(link, host);
    EXPECT_GE(reply.stat[1], 2);
    EXPECT_TRUE(adapter->waitFor([](const AdapterState &s) { return s.record.stat[1] == 3; }));
    EXPECT_EQ(poll(link).stat[1], 3);
}

TEST_F(EmulatedAdapterTest, IncomingCallsAndTextsReachTheHost)
{
    auto connection = open();
    HostLink link(*connection);
    const PartyEntry caller = makeParty("Caller", "+15550100");
    adapter->raiseIncomingCall(1, caller);
    const DeviceRecord record = poll(link);
    EXPECT_EQ(record.stat[1], 4);
    EXPECT_TRUE(sameParty(record.subscriber[1], caller));
    EXPECT_TRUE(sameParty(record.call_list[0], caller));
    adapter->endIncomingCall(1);
    EXPECT_EQ(poll(link).stat[1], 1) << "an unanswered caller gives up";

    const std::uint8_t text[] = {'h', 'i'};
    adapter->sendText(text);
    const auto message = link.receive();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->cmd, CMD_TEXT);
}

TEST_F(EmulatedAdapterTest, BootLoaderAssemblesTheImageResetsSettingsAndRestarts)
{
    auto connection = open();
    HostLink link(*connection);
    DeviceRecord settings = initialAdapterRecord();
    settings.contact[0] = makeParty("Kept?", "1");
    settings.mic_gain = 1;
    writeRecord(link, settings);
    const QString normalInstance = adapter->instance();

    restartIntoBootLoader(link);
    EXPECT_NE(adapter->instance(), normalInstance);
    ASSERT_EQ(bus.scan().size(), 1u);
    EXPECT_EQ(bus.scan()[0].product, "VESTRA7 (boot)");
    connection = open();
    HostLink boot(*connection);

    // The boot loader does not answer polls: the first reply is the one to the reset.
    boot.send(CMD_POLL);
    boot.send(CMD_RESET_SETTINGS);
    auto reply = boot.receive();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->cmd, CMD_RESET_SETTINGS);
    DeviceRecord expected = initialAdapterRecord();
    EXPECT_EQ(bytesOf(adapter->state().record), bytesOf(expected));

    std::vector<std::uint8_t> image;
    for (std::uint8_t i = 0; i < 3; ++i) {
        const std::vector<std::uint8_t> piece = chunk(i);
        boot.send(CMD_FW_CHUNK, piece);
        reply = boot.receive();
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->cmd, CMD_FW_CHUNK);
        image.insert(image.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(adapter->state().image, image);

    const QString bootInstance = adapter->instance();
    boot.send(CMD_FW_END);
    reply = boot.receive();
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, (ReceivedMessage{CMD_FW_END, {1}}));
    // It restarts once the host has taken the reply and reads on.
    Report buffer{};
    EXPECT_FALSE(connection->read(buffer, 100));
    ASSERT_TRUE(adapter->waitFor([](const AdapterState &s) { return !s.bootMode; }));
    EXPECT_NE(adapter->instance(), bootInstance);
    EXPECT_EQ(bus.scan()[0].product, "VESTRA7");
    EXPECT_EQ(adapter->state().image, image);
    EXPECT_EQ(adapter->state().restarts, 2);
}

TEST_F(EmulatedAdapterTest, ReportsAFailedUpdateAndLeavesOnRequest)
{
    adapter->setUpdateResult(false);
    adapter->enterBootLoader();
    auto connection = open();
    HostLink link(*connection);
    link.send(CMD_FW_END);
    const auto reply = link.receive();
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, (ReceivedMessage{CMD_FW_END, {0}}));

    adapter->enterBootLoader();
    connection = open();
    HostLink again(*connection);
    again.send(CMD_LEAVE_UPDATE);
    EXPECT_TRUE(adapter->waitFor([](const AdapterState &s) { return !s.bootMode && s.restarts == 3; }));
}

TEST_F(EmulatedAdapterTest, BootLoaderChecksTheImageItWasToReceive)
{
    // A payload whose last chunk is short: the boot loader expects it filled up to a whole chunk.
    std::vector<std::uint8_t> payload = chunk(1);
    const std::vector<std::uint8_t> second = chunk(2);
    payload.insert(payload.end(), second.begin(), second.begin() + 100);
    std::vector<std::uint8_t> padded(second.begin(), second.begin() + 100);
    padded.resize(544, 0);
    adapter->expectImage(payload);

    struct Case
    {
        const char *what;
        std::vector<std::vector<std::uint8_t>> chunks;
        std::uint8_t result;
    };
    std::vector<std::uint8_t> damaged = padded;
    damaged[7] ^= 0x40;
    const Case cases[] = {
        {"the exact image", {chunk(1), padded}, 1},
        {"a chunk repeated", {chunk(1), chunk(1), padded}, 0},
        {"a chunk missing", {padded}, 0},
        {"a damaged byte", {chunk(1), damaged}, 0},
        {"a chunk too many", {chunk(1), padded, padded}, 0},
    };
    for (const Case &c : cases) {
        adapter->enterBootLoader();
        auto connection = open();
        HostLink boot(*connection);
        for (const auto &piece : c.chunks) {
            boot.send(CMD_FW_CHUNK, piece);
            ASSERT_TRUE(boot.receive()) << c.what;
        }
        boot.send(CMD_FW_END);
        const auto reply = boot.receive();
        ASSERT_TRUE(reply) << c.what;
        EXPECT_EQ(*reply, (ReceivedMessage{CMD_FW_END, {c.result}})) << c.what;
    }
}

TEST_F(EmulatedAdapterTest, RemembersTheRecordsItSentOnlyWhenAsked)
{
    auto connection = open();
    HostLink link(*connection);
    const DeviceRecord first = poll(link);
    EXPECT_FALSE(adapter->hasSentRecord(first)) << "nothing is kept unless asked";

    adapter->rememberSentRecords();
    poll(link);
    DeviceRecord changed = first;
    changed.mic_gain = 3;
    const DeviceRecord reply = writeRecord(link, changed);
    EXPECT_TRUE(adapter->hasSentRecord(first));
    EXPECT_TRUE(adapter->hasSentRecord(reply));
    DeviceRecord never = reply;
    never.contact[5].name[15] ^= 1;
    EXPECT_FALSE(adapter->hasSentRecord(never));
}

TEST_F(EmulatedAdapterTest, WithheldAndIgnoredMessagesAndDelayedReplies)
{
    adapter->enterBootLoader();
    adapter->withholdReply(CMD_FW_CHUNK, 1);
    adapter->ignoreMessage(CMD_FW_CHUNK, 2);
    auto connection = open();
    HostLink link(*connection);
    for (std::uint8_t i = 0; i < 4; ++i)
        link.send(CMD_FW_CHUNK, chunk(i));

    // Chunk 1 was taken without an acknowledgement; chunk 2 never arrived.
    std::vector<std::uint8_t> expected = chunk(0);
    for (const std::uint8_t i : {std::uint8_t{1}, std::uint8_t{3}}) {
        const auto piece = chunk(i);
        expected.insert(expected.end(), piece.begin(), piece.end());
    }
    EXPECT_TRUE(adapter->waitFor([&](const AdapterState &s) { return s.image == expected; }));
    EXPECT_EQ(adapter->state().received.size(), 3u);
    int acks = 0;
    while (link.receive(200ms))
        ++acks;
    EXPECT_EQ(acks, 2);

    adapter->delayReplies(CMD_RESET_SETTINGS, 1h);
    link.send(CMD_RESET_SETTINGS);
    EXPECT_FALSE(link.receive(100ms));
}

TEST_F(EmulatedAdapterTest, LinkFaultsLoseOrDamageReports)
{
    auto connection = open();
    HostLink link(*connection);

    adapter->setLinkFaults({.dropToHost = 1});
    link.send(CMD_POLL);
    EXPECT_TRUE(adapter->waitFor([](const AdapterState &s) { return s.received.size() == 1; }));
    EXPECT_FALSE(link.receive(200ms));

    adapter->setLinkFaults({.corruptToHost = 1, .seed = 3});
    link.send(CMD_POLL);
    EXPECT_FALSE(link.receive(200ms));

    adapter->setLinkFaults({.corruptToDevice = 1, .seed = 3});
    link.send(CMD_WRITE_RECORD, initialAdapterRecord().bytes());
    EXPECT_FALSE(link.receive(200ms));
    EXPECT_EQ(adapter->state().received.size(), 2u);

    adapter->setLinkFaults({});
    EXPECT_EQ(bytesOf(poll(link)), bytesOf(initialAdapterRecord()));
}

TEST_F(EmulatedAdapterTest, SameSeedDamagesTheSameBytes)
{
    const auto damagedReply = [this](std::uint32_t seed) {
        adapter->setLinkFaults({.corruptToHost = 0.5, .seed = seed});
        auto connection = open();
        HostLink link(*connection);
        link.send(CMD_POLL);
        std::vector<std::uint8_t> all;
        Report report{};
        for (int i = 0; i < 30; ++i) {
            const HidIoResult count = connection->read(report, 1000);
            if (!count || *count == 0)
                break;
            all.insert(all.end(), report.begin(), report.end());
        }
        return all;
    };
    const auto first = damagedReply(11);
    EXPECT_EQ(first.size(), 30u * 65);
    EXPECT_EQ(damagedReply(11), first);
    EXPECT_NE(damagedReply(12), first);
}

TEST_F(EmulatedAdapterTest, RefusedOpenAndFailingWrites)
{
    adapter->refuseOpen("Permission denied");
    const Result<std::unique_ptr<HidConnection>> refused = backend.open(adapter->instance());
    EXPECT_FALSE(refused);
    EXPECT_TRUE(refused.error().message.contains("Permission denied"));
    adapter->refuseOpen({});

    auto connection = open();
    adapter->failWrites("Input/output error");
    const HidIoResult written = connection->write(makeReport(makeTrailerFrame({0, 0xFFFF, CMD_POLL})));
    ASSERT_FALSE(written);
    EXPECT_FALSE(written.error().deviceGone);
    EXPECT_EQ(written.error().message, "Input/output error");
}

TEST_F(EmulatedAdapterTest, WorksAcrossThreadsWithUsbTiming)
{
    adapter->setUsbTiming(true);
    auto connection = open();
    HostLink link(*connection);
    DeviceRecord sent = initialAdapterRecord();
    sent.mic_gain = 3;
    std::thread writer([&] { link.send(CMD_WRITE_RECORD, sent.bytes()); });
    EXPECT_TRUE(adapter->waitFor([](const AdapterState &s) { return !s.received.empty(); }));
    writer.join();
    const auto reply = link.receive();
    ASSERT_TRUE(reply);
    EXPECT_EQ(recordOf(reply->payload).mic_gain, 3);
    EXPECT_EQ(link.reportsRead(), 30);
}

// A restart asked for after the host has taken the last reply, but before it has handed that reply
// on, waits for the host to read again: a real adapter takes far longer to restart than the host to
// hand on a report, and a restart here first would lose that reply.
TEST(EmulatedHidDevice, ARestartWaitsUntilTheHostIsDoneWithTheLastReportItTook)
{
    struct Device : EmulatedHidDevice
    {
        using EmulatedHidDevice::EmulatedHidDevice;
        using EmulatedHidDevice::sendFrame;
        using EmulatedHidDevice::whenDrained;
    };
    EmulatedBus bus;
    const auto device = std::make_shared<Device>(HidDeviceInfo{});
    const QString instance = bus.plug(device);
    Report buffer{};
    int restarts = 0;

    device->sendFrame(WireFrame{});
    ASSERT_GT(device->hostRead(instance, buffer, 100), 0);
    device->whenDrained([&] { ++restarts; });
    EXPECT_EQ(restarts, 0) << "the host still holds the report it took";
    EXPECT_EQ(device->hostRead(instance, buffer, 10), 0);
    EXPECT_EQ(restarts, 1) << "the host has asked for the next report";

    device->whenDrained([&] { ++restarts; });
    EXPECT_EQ(restarts, 2) << "with no report taken since, the restart is at once";
}

} // namespace

} // namespace vestra7
