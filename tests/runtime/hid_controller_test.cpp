// SPDX-License-Identifier: GPL-3.0-or-later
// The HID controller over the emulated bus: list order rules, claiming, reading threads, writes
// racing removals, and shutting down while a report waits for the GUI thread.
#include "link/hid_controller.h"

#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/gui_wait.h"

#include "link/commands.h"
#include "link/frame.h"
#include "link/gui_dispatcher.h"
#include "link/receiver.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

std::shared_ptr<EmulatedHidDevice> foreignDevice(const QString &manufacturer, const QString &product)
{
    return std::make_shared<EmulatedHidDevice>(HidDeviceInfo{{}, manufacturer, product, {}, 0x0100, 65, 65});
}

const Report kPoll = makeReport(makeTrailerFrame({0, 0xFFFF, CMD_POLL}));

// The emulated bus as a platform can show it at the moments that matter here: its notifications
// name the devices that came and went, and a scan can list what the bus no longer holds or list a
// device otherwise than the bus does.
struct PlatformView
{
    std::vector<HidDeviceEvent> events;                     // taken by the controller before its next scan
    std::function<void(std::vector<HidDeviceInfo> &)> edit; // applied to every scan of the bus
};

class PlatformBackend final : public HidBackend
{
public:
    PlatformBackend(EmulatedBus &bus, std::shared_ptr<PlatformView> view)
        : m_inner(bus)
        , m_view(std::move(view))
    {
    }

    std::vector<HidDeviceInfo> scan() override
    {
        std::vector<HidDeviceInfo> found = m_inner.scan();
        if (m_view->edit)
            m_view->edit(found);
        return found;
    }
    Result<std::unique_ptr<HidConnection>> open(const QString &instance) override { return m_inner.open(instance); }
    void watchChanges(std::function<void()> onChange) override { m_inner.watchChanges(std::move(onChange)); }
    std::vector<HidDeviceEvent> takeEvents() override { return std::exchange(m_view->events, {}); }

private:
    EmulatedBackend m_inner;
    std::shared_ptr<PlatformView> m_view;
};

// One device that says its last words and goes: as the read of its last report returns, the
// platform announces its removal, ahead of the reading thread's hand-over of that report. Later reads
// fail as on a removed device.
class LastWordsBackend final : public HidBackend
{
public:
    explicit LastWordsBackend(std::vector<Report> reports)
        : m_reports(std::move(reports))
    {
    }

    std::vector<HidDeviceInfo> scan() override
    {
        const std::lock_guard lock(m_mutex);
        if (m_removed)
            return {};
        return {m_info};
    }
    Result<std::unique_ptr<HidConnection>> open(const QString &) override
    {
        return std::unique_ptr<HidConnection>(std::make_unique<Connection>(*this));
    }
    void watchChanges(std::function<void()> onChange) override { m_onChange = std::move(onChange); }
    std::vector<HidDeviceEvent> takeEvents() override
    {
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_events, {});
    }

private:
    class Connection final : public HidConnection
    {
    public:
        explicit Connection(LastWordsBackend &backend)
            : m_backend(backend)
        {
        }
        HidIoResult write(std::span<const std::uint8_t> report) override { return report.size(); }
        HidIoResult read(std::span<std::uint8_t> buffer, int) override { return m_backend.readNext(buffer); }

    private:
        LastWordsBackend &m_backend;
    };

    HidIoResult readNext(std::span<std::uint8_t> buffer)
    {
        const std::lock_guard lock(m_mutex);
        if (m_next == m_reports.size())
            return HidIoFailure{true};
        std::copy(m_reports[m_next].begin(), m_reports[m_next].end(), buffer.begin());
        if (++m_next == m_reports.size()) {
            m_removed = true;
            m_events.push_back({HidDeviceEvent::Kind::Removed, m_info.instance});
            // Through the dispatcher, as a real backend's thread would: a hand-over that the thread
            // sanitizer sees ordered.
            m_dispatcher.post([this] { m_onChange(); });
        }
        return m_reports.front().size();
    }

    const HidDeviceInfo m_info{"last-words", "TARNIX", "VESTRA7 (boot)", "V7-1", 0x0100, 65, 65};
    const std::vector<Report> m_reports;
    std::function<void()> m_onChange;
    GuiDispatcher m_dispatcher;
    std::mutex m_mutex;
    std::size_t m_next = 0;
    bool m_removed = false;
    std::vector<HidDeviceEvent> m_events;
};

bool endsMessage(std::span<const std::uint8_t> frame)
{
    return frame.empty() || frame[0] != kDataMarker;
}

Report dataReport(std::uint8_t number)
{
    Report report{};
    report[1] = kDataMarker;
    report[2] = number;
    return report;
}

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
    void start(std::unique_ptr<HidBackend> backend = {}, ReportReader::GroupEnd groupEnd = nullptr)
    {
        if (!backend)
            backend = std::make_unique<EmulatedBackend>(bus);
        controller = std::make_unique<HidController>(std::move(backend), groupEnd);
        QObject::connect(controller.get(), &HidController::devicesChanged, [this]() { ++changes; });
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

    // The devices still plugged in, as "instance product".
    QStringList pluggedIn() const
    {
        QStringList names;
        for (const HidDevice *device : controller->devices())
            if (device->isPluggedIn())
                names << device->instance() + ' ' + device->product();
        return names;
    }

    // Claims the adapter after the first scan.
    HidDevice *claimAdapter(std::unique_ptr<HidBackend> backend = {})
    {
        bus.plug(adapter);
        start(std::move(backend));
        EXPECT_TRUE(waitForChanges(1));
        HidDevice *device = deviceFor(adapter);
        EXPECT_TRUE(device && device->claim());
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
    EXPECT_TRUE(claimed->claim()) << "claimed already";

    adapter->unplug();
    ASSERT_TRUE(waitForChanges(2));
    ASSERT_EQ(controller->devices().size(), 2u);
    EXPECT_EQ(controller->devices()[1], claimed);
    EXPECT_FALSE(claimed->isPluggedIn());
    EXPECT_TRUE(claimed->isClaimed());
    EXPECT_FALSE(claimed->claim());
    EXPECT_EQ(claimed->writeReport(kPoll).value(), 0u);
    EXPECT_EQ(claimed->inputReportLength(), 65);

    bus.plug(adapter);
    ASSERT_TRUE(waitForChanges(3));
    ASSERT_EQ(controller->devices().size(), 3u);
    EXPECT_EQ(controller->devices()[1], claimed);
    HidDevice *returned = controller->devices()[2];
    EXPECT_NE(returned, claimed);
    EXPECT_FALSE(returned->isClaimed());
    EXPECT_TRUE(returned->claim());
}

TEST_F(HidControllerTest, AdapterRestartingFromTheWorkerThreadComesBackAsItsBootLoader)
{
    HidDevice *claimed = claimAdapter();
    ASSERT_TRUE(claimed);
    std::thread worker([claimed] {
        ASSERT_TRUE(claimed->writeReport(makeReport(makeTrailerFrame({0, 0xFFFF, CMD_ENTER_BOOT}))));
    });
    worker.join();
    ASSERT_TRUE(waitUntil([&] { return products().contains("VESTRA7 (boot)"); }));
    EXPECT_FALSE(claimed->isPluggedIn());
    EXPECT_TRUE(deviceFor(adapter)->claim());
}

// The interleaving a udev "remove" that outruns sysfs makes: the adapter restarts into its boot
// loader, its removal is announced, and the scans still list its old node for a while.
TEST_F(HidControllerTest, DeviceAnnouncedRemovedIsGoneAtOnceThoughScansStillListItsNode)
{
    const auto view = std::make_shared<PlatformView>();
    HidDevice *normal = claimAdapter(std::make_unique<PlatformBackend>(bus, view));
    ASSERT_TRUE(normal);
    const HidDeviceInfo old = adapter->info();
    view->events.push_back({HidDeviceEvent::Kind::Removed, old.instance});
    view->edit = [old](std::vector<HidDeviceInfo> &found) {
        found.insert(found.begin(), old);
    };

    std::thread worker([normal] {
        ASSERT_TRUE(normal->writeReport(makeReport(makeTrailerFrame({0, 0xFFFF, CMD_ENTER_BOOT}))));
    });
    worker.join();
    ASSERT_TRUE(waitUntil([&] { return products().contains("VESTRA7 (boot)"); }));
    EXPECT_FALSE(normal->isPluggedIn());
    EXPECT_EQ(pluggedIn(), QStringList{adapter->instance() + " VESTRA7 (boot)"});
    EXPECT_EQ(controller->devices().size(), 2u);
    EXPECT_EQ(controller->devices()[0], normal);

    // Still listed at the next scan: still not taken up.
    bus.announce();
    drainPostedEvents();
    EXPECT_EQ(pluggedIn(), QStringList{adapter->instance() + " VESTRA7 (boot)"});

    // Once a scan has found the node gone, its name listed again is a new device.
    view->edit = nullptr;
    bus.announce();
    drainPostedEvents();
    view->edit = [old](std::vector<HidDeviceInfo> &found) {
        found.push_back(old);
    };
    bus.announce();
    ASSERT_TRUE(waitUntil([&] { return pluggedIn().contains(old.instance + " VESTRA7"); }));
    EXPECT_EQ(controller->devices().size(), 3u);
    EXPECT_EQ(controller->devices()[0], normal);
    EXPECT_FALSE(normal->isPluggedIn());
}

TEST_F(HidControllerTest, NameAnnouncedAddedAgainIsANewDeviceAtOnce)
{
    const auto view = std::make_shared<PlatformView>();
    HidDevice *first = claimAdapter(std::make_unique<PlatformBackend>(bus, view));
    ASSERT_TRUE(first);
    const QString name = adapter->instance();
    // Out and in again under the same name, both heard before the next scan.
    view->events = {{HidDeviceEvent::Kind::Removed, name}, {HidDeviceEvent::Kind::Added, name}};
    bus.announce();
    ASSERT_TRUE(waitForChanges(2));
    EXPECT_FALSE(first->isPluggedIn());
    HidDevice *second = deviceFor(adapter);
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
    EXPECT_TRUE(second->claim());
}

// A node that comes back under its name as something else, its removal unheard (a platform that
// names nothing, a lost notification): the adapter's boot loader on the adapter's node.
TEST_F(HidControllerTest, NodeListedWithAnotherIdentityIsANewDevice)
{
    const auto view = std::make_shared<PlatformView>();
    HidDevice *normal = claimAdapter(std::make_unique<PlatformBackend>(bus, view));
    ASSERT_TRUE(normal);
    const QString name = adapter->instance();

    for (const auto &[field, change] : std::vector<std::pair<const char *, std::function<void(HidDeviceInfo &)>>>{
             {"product",
              [](HidDeviceInfo &info) {
                  info.product = "VESTRA7 (boot)";
              }},
             {"serial number",
              [](HidDeviceInfo &info) {
                  info.serialNumber = "V7-2041-000118";
              }},
             {"version",
              [](HidDeviceInfo &info) {
                  info.versionNumber = 0x0103;
              }},
             {"manufacturer",
              [](HidDeviceInfo &info) {
                  info.manufacturer = "Tarnix";
              }},
         }) {
        SCOPED_TRACE(field);
        HidDevice *before = deviceFor(adapter);
        ASSERT_TRUE(before);
        view->edit = [&, change = change](std::vector<HidDeviceInfo> &found) {
            for (HidDeviceInfo &info : found)
                if (info.instance == name)
                    change(info);
        };
        const int seen = changes;
        bus.announce();
        ASSERT_TRUE(waitForChanges(seen + 1));
        EXPECT_FALSE(before->isPluggedIn());
        HidDevice *after = deviceFor(adapter);
        ASSERT_TRUE(after);
        EXPECT_NE(after, before);
        HidDeviceInfo expected = adapter->info();
        change(expected);
        EXPECT_EQ(after->product(), expected.product);
        EXPECT_EQ(after->serialNumber(), expected.serialNumber);
        EXPECT_EQ(after->versionNumber(), expected.versionNumber);
        EXPECT_EQ(after->manufacturer(), expected.manufacturer);
        // Claimed, so that it stays listed once it is gone in its turn.
        EXPECT_TRUE(after->claim());
        // Listed the same way again, it is the same device.
        bus.announce();
        drainPostedEvents();
        EXPECT_EQ(deviceFor(adapter), after);
        EXPECT_EQ(changes, seen + 1);
    }
    EXPECT_FALSE(normal->isPluggedIn());
    EXPECT_EQ(controller->devices().size(), 5u);
    EXPECT_EQ(controller->devices()[0], normal);
}

TEST_F(HidControllerTest, EnumerateOffersPluggedDevicesInListOrderUntilTheHandlerSaysStop)
{
    bus.plug(keypad);
    HidDevice *first = claimAdapter();
    bus.plug(mouse);
    ASSERT_TRUE(waitForChanges(2));

    std::vector<std::pair<QString, int>> offered;
    const auto offer = [&](HidDevice &device, int index) {
        offered.emplace_back(device.product(), index);
        return device.product() != "VESTRA7";
    };
    EXPECT_EQ(controller->offerDevices(offer), 2);
    EXPECT_EQ(offered, (std::vector<std::pair<QString, int>>{{"Keypad", 0}, {"VESTRA7", 1}}));

    // The claimed adapter, gone, stays in the list but is not offered; its index still counts.
    adapter->unplug();
    ASSERT_TRUE(waitForChanges(3));
    ASSERT_EQ(controller->devices()[1], first);
    offered.clear();
    EXPECT_EQ(controller->offerDevices(offer), 2);
    EXPECT_EQ(offered, (std::vector<std::pair<QString, int>>{{"Keypad", 0}, {"Mouse", 2}}));
}

TEST_F(HidControllerTest, DeviceChangeDuringAHandlerIsNotNestedAndNotLost)
{
    start();
    int depth = 0;
    int deepest = 0;
    QObject::connect(controller.get(), &HidController::devicesChanged, [&]() {
        ++depth;
        deepest = std::max(deepest, depth);
        if (changes == 1) {
            // As a modal box would: the event loop runs inside the handler while a device arrives.
            bus.plug(mouse);
            drainPostedEvents();
            EXPECT_TRUE(products().isEmpty());
        }
        --depth;
    });
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
    const auto offer = [&](HidDevice &device, int) {
        offered << device.product();
        if (offered.size() == 1) {
            mouse->unplug();
            drainPostedEvents();
        }
        return true;
    };
    EXPECT_EQ(controller->offerDevices(offer), 1);
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
    QObject::connect(controller.get(), &HidController::reportReceived,
                     [&](HidDevice *from, std::uint8_t reportId, std::span<const std::uint8_t> data) {
                         ++depth;
                         deepest = std::max(deepest, depth);
                         allOnGuiThread =
                             allOnGuiThread && QThread::currentThread() == qApp->thread() && from == device;
                         EXPECT_EQ(reportId, 0);
                         EXPECT_EQ(data.size(), 64u);
                         ++reports;
                         // The reading thread waits for this call to return: spinning the loop here lets no second
                         // report in.
                         QCoreApplication::processEvents();
                         receiver.takeReport(data);
                         --depth;
                     });

    std::size_t written = 0;
    std::thread worker([&] { written = device->writeReport(kPoll).value(); });
    worker.join();
    EXPECT_EQ(written, 65u);
    ASSERT_TRUE(waitUntil([&] { return collector.records == 1; }));
    EXPECT_EQ(reports, 30);
    EXPECT_EQ(deepest, 1);
    EXPECT_TRUE(allOnGuiThread);
}

// A boot loader's result comes right before it restarts: the reports read before a removal reach
// their receivers before the removal does, also those of a message the removal cut short.
TEST_F(HidControllerTest, ReportsReadBeforeARemovalGoOnBeforeIt)
{
    const Report result = makeReport(makeTrailerFrame({1, 0, CMD_FW_END}));
    const struct
    {
        const char *name;
        std::vector<Report> reports;
        QStringList expected;
    } cases[] = {
        {"a reply of one report", {result}, {"report fb", "gone"}},
        {"a reply of several reports",
         {dataReport(1), dataReport(2), result},
         {"report fa", "report fa", "report fb", "gone"}},
        {"a message cut short", {dataReport(1), dataReport(2)}, {"report fa", "report fa", "gone"}},
    };
    for (const auto &[name, reports, expected] : cases) {
        SCOPED_TRACE(name);
        changes = 0;
        start(std::make_unique<LastWordsBackend>(reports), &endsMessage);
        ASSERT_TRUE(waitForChanges(1));
        ASSERT_EQ(controller->devices().size(), 1u);
        HidDevice *device = controller->devices()[0];
        QStringList seen;
        QObject::connect(
            controller.get(), &HidController::reportReceived,
            [&](HidDevice *from, std::uint8_t, std::span<const std::uint8_t> data) {
                EXPECT_EQ(from, device);
                seen << QStringLiteral("report %1").arg(static_cast<unsigned>(data[0]), 2, 16, QLatin1Char('0'));
            });
        QObject::connect(controller.get(), &HidController::devicesChanged, [&] {
            if (!device->isPluggedIn())
                seen << "gone";
        });
        ASSERT_TRUE(device->claim());
        ASSERT_TRUE(waitUntil([&] { return seen.contains("gone"); }));
        drainPostedEvents();
        EXPECT_EQ(seen.join(", ").toStdString(), expected.join(", ").toStdString());
        controller.reset();
    }
}

TEST_F(HidControllerTest, ExceptionInTheDataHandlerDoesNotEndTheReading)
{
    HidDevice *device = claimAdapter();
    ASSERT_TRUE(device);
    int reports = 0;
    QObject::connect(controller.get(), &HidController::reportReceived,
                     [&](HidDevice *, std::uint8_t, std::span<const std::uint8_t>) {
                         if (++reports == 1)
                             throw std::runtime_error("handler failed");
                     });
    ASSERT_TRUE(device->writeReport(kPoll));
    ASSERT_TRUE(waitUntil([&] { return reports == 30; }));
    ASSERT_TRUE(device->writeReport(kPoll));
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
    const Result<void> refused = device->claim();
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.error().message.contains("Permission denied"));
    EXPECT_FALSE(device->isClaimed());
    EXPECT_EQ(device->accessError(), refused.error().message) << "the list of adapters names it";
    EXPECT_EQ(device->writeReport(kPoll).value(), 0u);

    adapter->refuseOpen({});
    EXPECT_TRUE(device->claim());
    EXPECT_TRUE(device->accessError().isEmpty());
}

TEST_F(HidControllerTest, WriteFailureIsAnErrorButARemovalIsNot)
{
    HidDevice *device = claimAdapter();
    ASSERT_TRUE(device);
    adapter->failWrites("Input/output error");
    const Result<std::size_t> failed = device->writeReport(kPoll);
    ASSERT_FALSE(failed);
    EXPECT_TRUE(failed.error().message.contains("Input/output error"));
    adapter->failWrites({});

    // Gone before the GUI thread has heard of it: the write fails quietly all the same.
    adapter->unplug();
    EXPECT_EQ(device->writeReport(kPoll).value(), 0u);
    ASSERT_TRUE(waitForChanges(2));
    EXPECT_EQ(device->writeReport(kPoll).value(), 0u);
}

TEST_F(HidControllerTest, ShutdownInsideTheDataHandlerReleasesTheWaitingReader)
{
    HidDevice *device = claimAdapter();
    ASSERT_TRUE(device);
    int reports = 0;
    QObject::connect(controller.get(), &HidController::reportReceived,
                     [&](HidDevice *, std::uint8_t, std::span<const std::uint8_t>) {
                         if (++reports == 1)
                             controller->shutdown(); // the reading thread is waiting for this very call
                     });
    ASSERT_TRUE(device->writeReport(kPoll));
    ASSERT_TRUE(waitUntil([&] { return reports >= 1; }));
    drainPostedEvents();
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(deviceFor(adapter)->claim());
    controller.reset();
}

TEST_F(HidControllerTest, DestroyedWhileTheGuiThreadServesNoHandOver)
{
    HidDevice *device = claimAdapter();
    ASSERT_TRUE(device);
    int reports = 0;
    QObject::connect(controller.get(), &HidController::reportReceived,
                     [&](HidDevice *, std::uint8_t, std::span<const std::uint8_t>) { ++reports; });
    ASSERT_TRUE(device->writeReport(kPoll));
    ASSERT_TRUE(adapter->waitFor([](const AdapterState &s) { return !s.received.empty(); }));
    // The reading thread has a report for the GUI thread, which does not run its loop now.
    controller.reset();
    drainPostedEvents();
    EXPECT_EQ(reports, 0);
}

} // namespace

} // namespace vestra7
