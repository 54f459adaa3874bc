// The HID controller over the emulated bus: list order rules, claiming, reading threads, writes
// racing removals, and shutting down while a report waits for the GUI thread.
#include "link/hid_controller.h"
#include "link/hid_error.h"

#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/gui_wait.h"

#include "link/commands.h"
#include "link/frame.h"
#include "link/receiver.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;

std::shared_ptr<EmulatedHidDevice> foreignDevice(const QString &manufacturer, const QString &product)
{
    return std::make_shared<EmulatedHidDevice>(HidDeviceInfo{{}, manufacturer, product, {}, 0x0100, 65, 65});
}

const Report kPoll = makeReport(makeTrailerFrame({0, 0xFFFF, CMD_POLL}));

class RecordCollector final : public MessageSink
{
public:
    void recordReceived(std::uint8_t, std::span<const std::uint8_t> record) override
    {
        ++records;
        (void)record;
    }
    void textReceived() override {}
    void updateReplyReceived(std::uint8_t, std::span<const std::uint8_t>) override {}
    int records = 0;
};

class HidControllerTest : public testing::Test
{
protected:
    void start()
    {
        controller = std::make_unique<HidController>(std::make_unique<EmulatedBackend>(bus));
        controller->OnDeviceChange = [this](HidController &) {
            ++changes;
        };
    }

    bool waitForChanges(int count)
    {
        return waitUntil([&] { return changes >= count; });
    }

    QStringList products() const
    {
        QStringList names;
        for (const HidDevice *device : controller->devices())
            names << device->product();
        return names;
    }

    HidDevice *deviceFor(const std::shared_ptr<EmulatedHidDevice> &emulated) const
    {
        for (HidDevice *device : controller->devices())
            if (device->instance() == emulated->instance() && device->isPluggedIn())
                return device;
        return nullptr;
    }

    // Claims the adapter after the first scan.
    HidDevice *claimAdapter()
    {
        bus.plug(adapter);
        start();
        EXPECT_TRUE(waitForChanges(1));
        HidDevice *device = deviceFor(adapter);
        EXPECT_TRUE(device && device->CheckOut());
        return device;
    }

    EmulatedBus bus;
    std::shared_ptr<EmulatedAdapter> adapter = std::make_shared<EmulatedAdapter>();
    std::shared_ptr<EmulatedHidDevice> keypad = foreignDevice("Tarnix", "Keypad");
    std::shared_ptr<EmulatedHidDevice> mouse = foreignDevice("Other", "Mouse");
    std::unique_ptr<HidController> controller;
    int changes = 0;
};

TEST_F(HidControllerTest, FirstScanRunsOnceTheEventLoopRunsEvenWithNothingFound)
{
    start();
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(controller->devices().empty());
    ASSERT_TRUE(waitForChanges(1));
    EXPECT_TRUE(controller->devices().empty());
    drainPostedEvents();
    EXPECT_EQ(changes, 1);
}

TEST_F(HidControllerTest, ListsDevicesWithTheirIdentityInTheOrderFirstFound)
{
    bus.plug(keypad);
    bus.plug(adapter);
    start();
    ASSERT_TRUE(waitForChanges(1));
    EXPECT_EQ(products(), (QStringList{"Keypad", "VESTRA7"}));
    const HidDevice *device = controller->devices()[1];
    EXPECT_EQ(device->manufacturer(), "TARNIX");
    EXPECT_EQ(device->serialNumber(), adapter->identity().serialNumber);
    EXPECT_EQ(device->versionNumber(), 0x0102);
    EXPECT_EQ(device->inputReportLength(), 65);
    EXPECT_EQ(controller->devices()[1]->outputReportLength(), 65u);

    bus.plug(mouse);
    ASSERT_TRUE(waitForChanges(2));
    EXPECT_EQ(products(), (QStringList{"Keypad", "VESTRA7", "Mouse"}));
    EXPECT_EQ(controller->devices()[1], device);

    keypad->unplug();
    ASSERT_TRUE(waitForChanges(3));
    EXPECT_EQ(products(), (QStringList{"VESTRA7", "Mouse"}));
    EXPECT_EQ(controller->devices()[0], device);

    // A notification that changes nothing calls no handler.
    bus.announce();
    drainPostedEvents();
    EXPECT_EQ(changes, 3);
}

TEST_F(HidControllerTest, ClaimedDeviceStaysListedUnpluggedAndItsReturnIsANewDevice)
{
    bus.plug(keypad);
    HidDevice *claimed = claimAdapter();
    ASSERT_TRUE(claimed);
    EXPECT_TRUE(claimed->isClaimed());
    EXPECT_FALSE(claimed->CheckOut());

    adapter->unplug();
    ASSERT_TRUE(waitForChanges(2));
    ASSERT_EQ(controller->devices().size(), 2u);
    EXPECT_EQ(controller->devices()[1], claimed);
    EXPECT_FALSE(claimed->isPluggedIn());
    EXPECT_TRUE(claimed->isClaimed());
    EXPECT_FALSE(claimed->CheckOut());
    EXPECT_EQ(claimed->writeReport(kPoll), 0u);
    EXPECT_EQ(claimed->inputReportLength(), 65);

    bus.plug(adapter);
    ASSERT_TRUE(waitForChanges(3));
    ASSERT_EQ(controller->devices().size(), 3u);
    EXPECT_EQ(controller->devices()[1], claimed);
    HidDevice *returned = controller->devices()[2];
    EXPECT_NE(returned, claimed);
    EXPECT_FALSE(returned->isClaimed());
    EXPECT_TRUE(returned->CheckOut());
}

TEST_F(HidControllerTest, AdapterRestartingFromTheWorkerThreadComesBackAsItsBootLoader)
{
    HidDevice *claimed = claimAdapter();
    ASSERT_TRUE(claimed);
    std::thread worker([claimed] { claimed->writeReport(makeReport(makeTrailerFrame({0, 0xFFFF, CMD_ENTER_BOOT}))); });
    worker.join();
    ASSERT_TRUE(waitUntil([&] { return products().contains("VESTRA7 (boot)"); }));
    EXPECT_FALSE(claimed->isPluggedIn());
    EXPECT_TRUE(deviceFor(adapter)->CheckOut());
}

TEST_F(HidControllerTest, EnumerateOffersPluggedDevicesInListOrderUntilTheHandlerSaysStop)
{
    bus.plug(keypad);
    HidDevice *first = claimAdapter();
    bus.plug(mouse);
    ASSERT_TRUE(waitForChanges(2));

    std::vector<std::pair<QString, int>> offered;
    controller->OnEnumerate = [&](HidDevice &device, int index) {
        offered.emplace_back(device.product(), index);
        return device.product() != "VESTRA7";
    };
    EXPECT_EQ(controller->Enumerate(), 2);
    EXPECT_EQ(offered, (std::vector<std::pair<QString, int>>{{"Keypad", 0}, {"VESTRA7", 1}}));

    // The claimed adapter, gone, stays in the list but is not offered; its index still counts.
    adapter->unplug();
    ASSERT_TRUE(waitForChanges(3));
    ASSERT_EQ(controller->devices()[1], first);
    offered.clear();
    EXPECT_EQ(controller->Enumerate(), 2);
    EXPECT_EQ(offered, (std::vector<std::pair<QString, int>>{{"Keypad", 0}, {"Mouse", 2}}));

    controller->OnEnumerate = nullptr;
    EXPECT_EQ(controller->Enumerate(), 0);
}

TEST_F(HidControllerTest, DeviceChangeDuringAHandlerIsNotNestedAndNotLost)
{
    start();
    int depth = 0;
    int deepest = 0;
    controller->OnDeviceChange = [&](HidController &) {
        ++changes;
        ++depth;
        deepest = std::max(deepest, depth);
        if (changes == 1) {
            // As a modal box would: the event loop runs inside the handler while a device arrives.
            bus.plug(mouse);
            drainPostedEvents();
            EXPECT_TRUE(products().isEmpty());
        }
        --depth;
    };
    ASSERT_TRUE(waitForChanges(2));
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(products(), (QStringList{"Mouse"}));
}

TEST_F(HidControllerTest, DeviceDroppedWhileAnEnumerationRunsIsNotFreedUnderIt)
{
    bus.plug(keypad);
    bus.plug(mouse);
    start();
    ASSERT_TRUE(waitForChanges(1));
    QStringList offered;
    controller->OnEnumerate = [&](HidDevice &device, int) {
        offered << device.product();
        if (offered.size() == 1) {
            mouse->unplug();
            drainPostedEvents();
        }
        return true;
    };
    EXPECT_EQ(controller->Enumerate(), 1);
    EXPECT_EQ(offered, QStringList{"Keypad"});
    EXPECT_EQ(products(), QStringList{"Keypad"});
}

TEST_F(HidControllerTest, ReportsReachTheGuiThreadOneAtATimeAndInOrder)
{
    HidDevice *device = claimAdapter();
    ASSERT_TRUE(device);
    RecordCollector collector;
    Receiver receiver(collector);
    int reports = 0;
    int depth = 0;
    int deepest = 0;
    bool allOnGuiThread = true;
    controller->OnDeviceData = [&](HidDevice &from, std::uint8_t reportId, std::span<const std::uint8_t> data) {
        ++depth;
        deepest = std::max(deepest, depth);
        allOnGuiThread = allOnGuiThread && QThread::currentThread() == qApp->thread() && &from == device;
        EXPECT_EQ(reportId, 0);
        EXPECT_EQ(data.size(), 64u);
        ++reports;
        // The reading thread waits for this call to return: spinning the loop here lets no second report in.
        QCoreApplication::processEvents();
        receiver.takeReport(data);
        --depth;
    };

    std::size_t written = 0;
    std::thread worker([&] { written = device->writeReport(kPoll); });
    worker.join();
    EXPECT_EQ(written, 65u);
    ASSERT_TRUE(waitUntil([&] { return collector.records == 1; }));
    EXPECT_EQ(reports, 30);
    EXPECT_EQ(deepest, 1);
    EXPECT_TRUE(allOnGuiThread);
}

TEST_F(HidControllerTest, ExceptionInTheDataHandlerDoesNotEndTheReading)
{
    HidDevice *device = claimAdapter();
    ASSERT_TRUE(device);
    int reports = 0;
    controller->OnDeviceData = [&](HidDevice &, std::uint8_t, std::span<const std::uint8_t>) {
        if (++reports == 1)
            throw std::runtime_error("handler failed");
    };
    device->writeReport(kPoll);
    ASSERT_TRUE(waitUntil([&] { return reports == 30; }));
    device->writeReport(kPoll);
    ASSERT_TRUE(waitUntil([&] { return reports == 60; }));
}

TEST_F(HidControllerTest, DeviceThatCannotBeOpenedIsNotClaimedAndSaysWhy)
{
    adapter->refuseOpen("Permission denied");
    bus.plug(adapter);
    start();
    ASSERT_TRUE(waitForChanges(1));
    HidDevice *device = deviceFor(adapter);
    ASSERT_TRUE(device);
    EXPECT_FALSE(device->CheckOut());
    EXPECT_FALSE(device->isClaimed());
    EXPECT_TRUE(device->accessError().contains("Permission denied"));
    EXPECT_EQ(device->writeReport(kPoll), 0u);

    adapter->refuseOpen({});
    EXPECT_TRUE(device->CheckOut());
    EXPECT_TRUE(device->accessError().isEmpty());
}

TEST_F(HidControllerTest, WriteFailureRaisesButARemovalDoesNot)
{
    HidDevice *device = claimAdapter();
    ASSERT_TRUE(device);
    adapter->failWrites("Input/output error");
    try {
        device->writeReport(kPoll);
        ADD_FAILURE() << "no HidError";
    } catch (const HidError &error) {
        EXPECT_TRUE(QString(error.what()).contains("Input/output error"));
    }
    adapter->failWrites({});

    // Gone before the GUI thread has heard of it: the write fails quietly all the same.
    adapter->unplug();
    EXPECT_EQ(device->writeReport(kPoll), 0u);
    ASSERT_TRUE(waitForChanges(2));
    EXPECT_EQ(device->writeReport(kPoll), 0u);
}

TEST_F(HidControllerTest, ShutdownInsideTheDataHandlerReleasesTheWaitingReader)
{
    HidDevice *device = claimAdapter();
    ASSERT_TRUE(device);
    int reports = 0;
    controller->OnDeviceData = [&](HidDevice &, std::uint8_t, std::span<const std::uint8_t>) {
        if (++reports == 1)
            controller->shutdown(); // the reading thread is waiting for this very call
    };
    device->writeReport(kPoll);
    ASSERT_TRUE(waitUntil([&] { return reports >= 1; }));
    drainPostedEvents();
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(deviceFor(adapter)->CheckOut());
    controller.reset();
}

TEST_F(HidControllerTest, DestroyedWhileTheGuiThreadServesNoHandOver)
{
    HidDevice *device = claimAdapter();
    ASSERT_TRUE(device);
    int reports = 0;
    controller->OnDeviceData = [&](HidDevice &, std::uint8_t, std::span<const std::uint8_t>) {
        ++reports;
    };
    device->writeReport(kPoll);
    ASSERT_TRUE(adapter->waitFor([](const AdapterState &s) { return !s.received.empty(); }));
    // The reading thread has a report for the GUI thread, which does not run its loop now.
    controller.reset();
    drainPostedEvents();
    EXPECT_EQ(reports, 0);
}

} // namespace
