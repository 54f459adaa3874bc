// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux backend end to end: hidapi and a udev monitor against emulated devices exposed as
// virtual hidraw nodes, with the controller on top.
#include "link/hid_controller.h"
#include "link/hidapi_backend.h"

#include "sim/emulated_adapter.h"
#include "support/gui_wait.h"
#include "support/virtual_hidraw.h"

#include "link/commands.h"
#include "link/frame.h"
#include "link/receiver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace vestra7 {

namespace {

const Report kPoll = makeReport(makeTrailerFrame({0, 0xFFFF, CMD_POLL}));

class RecordCollector final : public MessageSink
{
public:
    void recordReceived(std::uint8_t, std::span<const std::uint8_t> record) override
    {
        records.emplace_back(record.begin(), record.end());
    }
    void textReceived() override {}
    void updateReplyReceived(std::uint8_t, std::span<const std::uint8_t>) override {}
    std::vector<std::vector<std::uint8_t>> records;
};

class HidrawTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!VirtualHidraw::isAvailable())
            GTEST_SKIP() << "runs under umockdev-wrapper";
        hidraw = std::make_unique<VirtualHidraw>();
    }

    void start()
    {
        controller = std::make_unique<HidController>(std::make_unique<HidapiBackend>());
        QObject::connect(controller.get(), &HidController::devicesChanged, [this]() { ++changes; });
        QObject::connect(controller.get(), &HidController::reportReceived,
                         [this](HidDevice *, std::uint8_t reportId, std::span<const std::uint8_t> data) {
                             reportIds.push_back(reportId);
                             reportSizes.push_back(data.size());
                             receiver.takeReport(data);
                         });
    }

    bool waitForChanges(int count)
    {
        return waitUntil([&] { return changes >= count; });
    }

    HidDevice *listed(const QString &instance) const
    {
        for (HidDevice *device : controller->devices())
            if (device->instance() == instance && device->isPluggedIn())
                return device;
        return nullptr;
    }

    // The first device whose manufacturer is exactly the adapter's, as the program picks it.
    HidDevice *findAdapter() const
    {
        HidDevice *found = nullptr;
        controller->offerDevices([&found](HidDevice &device, int) {
            if (device.manufacturer() != QLatin1String("TARNIX"))
                return true;
            found = &device;
            return false;
        });
        return found;
    }

    // Writes a poll from a thread of its own, as the worker does, and waits for the reply.
    bool pollAnswered(HidDevice &device)
    {
        const std::size_t before = collector.records.size();
        std::size_t written = 0;
        std::thread worker([&] { written = device.writeReport(kPoll).value(); });
        worker.join();
        EXPECT_EQ(written, kReportSize);
        return waitUntil([&] { return collector.records.size() > before; });
    }

    std::unique_ptr<VirtualHidraw> hidraw;
    std::unique_ptr<HidController> controller; // after hidraw: closed before the nodes go
    std::shared_ptr<EmulatedAdapter> adapter = std::make_shared<EmulatedAdapter>();
    int changes = 0;
    RecordCollector collector;
    Receiver receiver{collector};
    std::vector<std::uint8_t> reportIds;
    std::vector<std::size_t> reportSizes;
};

TEST_F(HidrawTest, FindsTheAdapterByItsExactManufacturerAmongOtherDevicesAndReadsItsIdentity)
{
    hidraw->addForeignDevice("Other", "Mouse");
    hidraw->addForeignDevice("Tarnix", "Keypad");
    const QString node = hidraw->plug(adapter);
    start();
    ASSERT_TRUE(waitForChanges(1));
    ASSERT_EQ(controller->devices().size(), 3u);
    EXPECT_EQ(controller->devices()[1]->manufacturer(), "Tarnix");

    HidDevice *found = findAdapter();
    ASSERT_TRUE(found);
    EXPECT_EQ(found->instance(), node);
    EXPECT_EQ(found->product(), "VESTRA7");
    EXPECT_EQ(found->serialNumber(), adapter->identity().serialNumber);
    EXPECT_EQ(found->versionNumber(), 0x0102);
    EXPECT_EQ(found->outputReportLength(), kReportSize);
    EXPECT_EQ(found->inputReportLength(), kReportSize);
}

TEST_F(HidrawTest, ClaimedAdapterAnswersAPollWithThirtyReports)
{
    hidraw->plug(adapter);
    start();
    ASSERT_TRUE(waitForChanges(1));
    HidDevice *device = findAdapter();
    ASSERT_TRUE(device);
    ASSERT_TRUE(device->claim()) << device->accessError().toStdString();

    ASSERT_TRUE(pollAnswered(*device));
    const DeviceRecord expected = initialAdapterRecord();
    ASSERT_EQ(collector.records.size(), 1u);
    EXPECT_EQ(collector.records[0], std::vector<std::uint8_t>(expected.bytes().begin(), expected.bytes().end()));
    EXPECT_EQ(reportIds, std::vector<std::uint8_t>(30, 0));
    EXPECT_EQ(reportSizes, std::vector<std::size_t>(30, 64));
    EXPECT_EQ(adapter->state().received, (std::vector<ReceivedMessage>{{CMD_POLL, {}}}));
}

TEST_F(HidrawTest, RemovalAndReturnAreHeardThroughUevents)
{
    hidraw->addForeignDevice("Other", "Mouse");
    hidraw->plug(adapter);
    start();
    ASSERT_TRUE(waitForChanges(1));
    HidDevice *first = findAdapter();
    ASSERT_TRUE(first && first->claim());

    adapter->unplug();
    // Before the GUI thread has heard of it, and after: a write fails quietly.
    EXPECT_EQ(first->writeReport(kPoll).value(), 0u);
    ASSERT_TRUE(waitForChanges(2));
    EXPECT_FALSE(first->isPluggedIn());
    EXPECT_EQ(first->writeReport(kPoll).value(), 0u);
    ASSERT_EQ(controller->devices().size(), 2u);
    EXPECT_EQ(controller->devices()[1], first);

    const QString node = hidraw->plug(adapter);
    ASSERT_TRUE(waitForChanges(3));
    HidDevice *second = findAdapter();
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->instance(), node);
    ASSERT_TRUE(second->claim());
    EXPECT_TRUE(pollAnswered(*second));
}

TEST_F(HidrawTest, AdapterRestartingIntoItsBootLoaderComesBackOnANewNode)
{
    hidraw->plug(adapter);
    start();
    ASSERT_TRUE(waitForChanges(1));
    HidDevice *normal = findAdapter();
    ASSERT_TRUE(normal && normal->claim());
    std::thread worker([normal] {
        ASSERT_TRUE(normal->writeReport(makeReport(makeTrailerFrame({0, 0xFFFF, CMD_ENTER_BOOT}))));
    });
    worker.join();

    HidDevice *boot = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        boot = findAdapter();
        return boot != nullptr && boot != normal;
    }));
    EXPECT_EQ(boot->product(), "VESTRA7 (boot)");
    EXPECT_NE(boot->instance(), normal->instance());
    EXPECT_FALSE(normal->isPluggedIn());
}

// The removal's uevents are out while sysfs still lists the node, as in a testbed that sends them
// first: the scan that they bring must not keep the adapter, nor take its node up again.
TEST_F(HidrawTest, NodeHeardRemovedIsGoneThoughSysfsStillListsIt)
{
    hidraw->plug(adapter);
    start();
    ASSERT_TRUE(waitForChanges(1));
    HidDevice *first = findAdapter();
    ASSERT_TRUE(first && first->claim());
    const QString node = first->instance();

    hidraw->announceRemoval(*adapter);
    ASSERT_TRUE(waitForChanges(2));
    EXPECT_FALSE(first->isPluggedIn());
    EXPECT_EQ(findAdapter(), nullptr);
    EXPECT_EQ(listed(node), nullptr);
    // Another device's arrival brings another scan, which still lists the node.
    hidraw->addForeignDevice("Other", "Mouse");
    ASSERT_TRUE(waitForChanges(3));
    EXPECT_EQ(findAdapter(), nullptr);
    EXPECT_EQ(listed(node), nullptr);
    ASSERT_EQ(controller->devices().size(), 2u);
    EXPECT_EQ(controller->devices()[0], first);

    adapter->unplug();
    const QString again = hidraw->plug(adapter);
    HidDevice *second = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (second = findAdapter()) != nullptr; }));
    EXPECT_NE(second, first);
    EXPECT_EQ(second->instance(), again);
    ASSERT_TRUE(second->claim());
    EXPECT_TRUE(pollAnswered(*second));
}

TEST_F(HidrawTest, NodeThatCannotBeOpenedIsSkippedWithTheReason)
{
    adapter->refuseOpen("Permission denied");
    hidraw->plug(adapter);
    hidraw->addForeignDevice("Other", "Mouse");
    start();
    ASSERT_TRUE(waitForChanges(1));
    ASSERT_EQ(controller->devices().size(), 2u);
    HidDevice *device = findAdapter();
    ASSERT_TRUE(device);
    EXPECT_FALSE(device->claim());
    EXPECT_FALSE(device->isClaimed());
    EXPECT_TRUE(device->accessError().contains(strerror(EACCES))) << device->accessError().toStdString();

    adapter->refuseOpen({});
    EXPECT_TRUE(device->claim()) << device->accessError().toStdString();
}

} // namespace

} // namespace vestra7
