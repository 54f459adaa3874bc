// SPDX-License-Identifier: GPL-3.0-or-later
// Finding, claiming and losing the adapter among other HID devices, and what the windows are told.
#include "link/adapter.h"
#include "link/hid_controller.h"
#include "model/firmware_image.h"
#include "support/adapter_probe.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <mutex>

namespace vestra7 {

namespace {

FirmwareImage imageOf(const QByteArray &file)
{
    FirmwareImage image;
    image.load(file);
    return image;
}

class IdleConnection final : public HidConnection
{
public:
    HidIoResult write(std::span<const std::uint8_t> report) override { return report.size(); }
    HidIoResult read(std::span<std::uint8_t>, int timeoutMs) override
    {
        QThread::msleep(static_cast<unsigned long>(std::min(timeoutMs, 20)));
        return std::size_t{0};
    }
};

// A bus whose devices the test sets directly; a device listed in `locked` cannot be opened.
class FakeBackend final : public HidBackend
{
public:
    struct Shared
    {
        std::mutex mutex;
        std::vector<HidDeviceInfo> devices;
        QStringList locked;
        std::function<void()> onChange;
    };

    explicit FakeBackend(std::shared_ptr<Shared> shared)
        : m_shared(std::move(shared))
    {
    }
    std::vector<HidDeviceInfo> scan() override
    {
        const std::lock_guard lock(m_shared->mutex);
        return m_shared->devices;
    }
    Result<std::unique_ptr<HidConnection>> open(const QString &instance) override
    {
        const std::lock_guard lock(m_shared->mutex);
        if (m_shared->locked.contains(instance))
            return Error{QStringLiteral("Permission denied")};
        return std::unique_ptr<HidConnection>(std::make_unique<IdleConnection>());
    }
    void watchChanges(std::function<void()> onChange) override { m_shared->onChange = std::move(onChange); }

private:
    std::shared_ptr<Shared> m_shared;
};

// What the adapter announced, in order.
class Announcements
{
public:
    explicit Announcements(Adapter &adapter)
    {
        QObject::connect(&adapter, &Adapter::connectionChanged, [this](bool connected) {
            calls << (connected ? QStringLiteral("connected") : QStringLiteral("disconnected"));
        });
        QObject::connect(&adapter, &Adapter::identityChanged, [this](const AdapterIdentity &identity) {
            calls << QStringLiteral("identity %1|%2|%3").arg(identity.product, identity.serial, identity.version);
        });
        QObject::connect(&adapter, &Adapter::bootLoaderChanged, [this](bool present) {
            calls << (present ? QStringLiteral("boot loader") : QStringLiteral("no boot loader"));
        });
        QObject::connect(&adapter, &Adapter::accessProblem,
                         [this](const QString &reason) { calls << QStringLiteral("access %1").arg(reason); });
    }

    QStringList calls;
};

HidDeviceInfo device(const char *instance, const char *manufacturer, const char *product = "Keyboard",
                     const char *serial = "", std::uint16_t version = 0x0100)
{
    HidDeviceInfo info;
    info.instance = QString::fromLatin1(instance);
    info.manufacturer = QString::fromLatin1(manufacturer);
    info.product = QString::fromLatin1(product);
    info.serialNumber = QString::fromLatin1(serial);
    info.versionNumber = version;
    return info;
}

class DiscoveryTest : public testing::Test
{
protected:
    void start(std::vector<HidDeviceInfo> devices)
    {
        m_shared->devices = std::move(devices);
        m_link.start();
        // The first scan happens once the event loop runs, not during start-up.
        EXPECT_TRUE(m_view.calls.isEmpty());
        QCoreApplication::processEvents();
    }

    void change(std::vector<HidDeviceInfo> devices)
    {
        m_view.calls.clear();
        {
            const std::lock_guard lock(m_shared->mutex);
            m_shared->devices = std::move(devices);
        }
        m_shared->onChange();
        QCoreApplication::processEvents();
    }

    std::shared_ptr<FakeBackend::Shared> m_shared = std::make_shared<FakeBackend::Shared>();
    Adapter m_link{[shared = m_shared] {
        return std::make_unique<FakeBackend>(shared);
    }};
    Announcements m_view{m_link};
};

} // namespace

TEST(DeviceIdentity, VersionTextIsMajorDotMinorInDecimal)
{
    EXPECT_EQ(deviceVersionText(0x0102), QStringLiteral("1.2"));
    EXPECT_EQ(deviceVersionText(0x010A), QStringLiteral("1.10"));
    EXPECT_EQ(deviceVersionText(0xFFFF), QStringLiteral("255.255"));
}

TEST_F(DiscoveryTest, TheAdapterIsFoundByItsManufacturerAmongOtherDevices)
{
    start({device("/dev/hidraw0", "Logi"), device("/dev/hidraw1", "TARNIX", "VESTRA7", "A1B2", 0x0102)});
    EXPECT_EQ(m_view.calls, (QStringList{"disconnected", "disconnected", "identity VESTRA7|A1B2|1.2", "no boot loader",
                                         "connected"}));
    ASSERT_NE(AdapterProbe::claimedDevice(m_link), nullptr);
    EXPECT_EQ(AdapterProbe::claimedDevice(m_link)->instance(), QStringLiteral("/dev/hidraw1"));
    EXPECT_EQ(m_link.identity().serial, QStringLiteral("A1B2"));
    EXPECT_FALSE(m_link.bootMode());
    EXPECT_TRUE(m_link.connected());
}

TEST_F(DiscoveryTest, AManufacturerDifferingOnlyInCaseIsNotTheAdapter)
{
    start({device("/dev/hidraw0", "Tarnix", "VESTRA7")});
    EXPECT_EQ(m_view.calls, (QStringList{"disconnected", "disconnected"}));
    EXPECT_EQ(AdapterProbe::claimedDevice(m_link), nullptr);
    EXPECT_EQ(AdapterProbe::claimedDevice(m_link), nullptr);
}

TEST_F(DiscoveryTest, TheBootLoaderKeepsTheWindowDisconnected)
{
    start({device("/dev/hidraw0", "TARNIX", "VESTRA7 (boot)", "A1B2", 0x0001)});
    EXPECT_TRUE(m_link.bootMode());
    EXPECT_TRUE(m_view.calls.contains("boot loader"));
    EXPECT_FALSE(m_view.calls.contains("connected"));
    EXPECT_EQ(m_view.calls.last(), "disconnected");
}

TEST_F(DiscoveryTest, WithTwoAdaptersTheFirstListedIsClaimedAndTheOtherNeverOffered)
{
    start(
        {device("/dev/hidraw0", "TARNIX", "VESTRA7", "FIRST"), device("/dev/hidraw1", "TARNIX", "VESTRA7", "SECOND")});
    EXPECT_EQ(AdapterProbe::claimedDevice(m_link)->serialNumber(), QStringLiteral("FIRST"));
    EXPECT_EQ(m_view.calls.count("disconnected"), 1);
    EXPECT_FALSE(AdapterProbe::hidController(m_link)->devices()[1]->isClaimed());
}

TEST_F(DiscoveryTest, WithNoDeviceAtAllTheWindowIsDisconnected)
{
    start({});
    EXPECT_EQ(m_view.calls, QStringList{"disconnected"});
}

TEST_F(DiscoveryTest, AnUnrelatedChangeRewritesTheSameIdentity)
{
    start({device("/dev/hidraw1", "TARNIX", "VESTRA7", "A1B2", 0x0102)});
    change({device("/dev/hidraw1", "TARNIX", "VESTRA7", "A1B2", 0x0102), device("/dev/hidraw2", "Logi")});
    EXPECT_EQ(m_view.calls, (QStringList{"disconnected", "identity VESTRA7|A1B2|1.2", "no boot loader", "connected"}));
}

TEST_F(DiscoveryTest, RemovalDisconnectsAndReplugClaimsTheNewDevice)
{
    start({device("/dev/hidraw1", "TARNIX", "VESTRA7", "A1B2")});
    HidDevice *first = AdapterProbe::claimedDevice(m_link);

    change({});
    EXPECT_EQ(m_view.calls, QStringList{"disconnected"}) << "nothing else is offered, yet the window disconnects";
    EXPECT_FALSE(m_link.connected());
    EXPECT_EQ(AdapterProbe::claimedDevice(m_link), first) << "the claimed device object stays";
    EXPECT_FALSE(first->isPluggedIn());

    change({device("/dev/hidraw3", "TARNIX", "VESTRA7", "A1B2")});
    EXPECT_NE(AdapterProbe::claimedDevice(m_link), first);
    EXPECT_TRUE(m_link.connected());
    EXPECT_EQ(m_view.calls.last(), "connected");
}

TEST_F(DiscoveryTest, AnAdapterThatCannotBeOpenedIsReportedOnceAndNotUsed)
{
    m_shared->locked << QStringLiteral("/dev/hidraw1");
    start({device("/dev/hidraw1", "TARNIX", "VESTRA7")});
    ASSERT_EQ(m_view.calls.filter(QStringLiteral("access")).size(), 1);
    EXPECT_TRUE(m_view.calls.filter(QStringLiteral("access")).front().contains(QStringLiteral("Permission denied")));
    EXPECT_EQ(AdapterProbe::claimedDevice(m_link), nullptr);
    EXPECT_FALSE(m_view.calls.contains("connected"));

    change({device("/dev/hidraw1", "TARNIX", "VESTRA7"), device("/dev/hidraw2", "Logi")});
    EXPECT_TRUE(m_view.calls.filter(QStringLiteral("access")).isEmpty()) << "told once per device";
}

TEST_F(DiscoveryTest, TheFirmwareUpdateHearsOfEachClaimAndOfTheAdapterGoing)
{
    FirmwareUpdater &updater = m_link.updater();
    std::vector<bool> actions;
    QObject::connect(&updater, &FirmwareUpdater::bootLoaderReadyChanged, [&](bool ready) { actions.push_back(ready); });
    const HidDeviceInfo bootLoader = device("/dev/hidraw1", "TARNIX", "VESTRA7 (boot)");

    start({bootLoader});
    EXPECT_EQ(actions, std::vector<bool>{true}) << "the boot loader's actions";
    EXPECT_TRUE(updater.bootMode());

    updater.transfer(imageOf(QByteArray(2000, 'x')));
    change({bootLoader, device("/dev/hidraw2", "Logi")});
    EXPECT_TRUE(updater.isSending()) << "the same adapter found again";
    change({device("/dev/hidraw2", "Logi")});
    EXPECT_FALSE(updater.isSending()) << "the adapter has gone";

    change({device("/dev/hidraw3", "TARNIX", "VESTRA7 (boot)")});
    updater.transfer(imageOf(QByteArray(2000, 'x')));
    // Out and in again between two scans: another adapter object, which has none of the chunks.
    change({device("/dev/hidraw4", "TARNIX", "VESTRA7 (boot)")});
    EXPECT_FALSE(updater.isSending());

    updater.enterBootLoader();
    change({device("/dev/hidraw5", "TARNIX", "VESTRA7")});
    EXPECT_EQ(actions.back(), false) << "the firmware serves neither action";
}

} // namespace vestra7
