// SPDX-License-Identifier: GPL-3.0-or-later
// Two adapters on the bus: the one chosen, or else the first found, is used and written to while it
// stays, whatever the other does, and the first one found is used again once it leaves.
#include "link/adapter.h"
#include "link/adapter_lock.h"
#include "link/commands.h"
#include "model/text_field.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/adapter_builders.h"
#include "support/gui_wait.h"
#include "support/record_builders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace vestra7 {

namespace {

class AdapterChoice : public testing::Test
{
protected:
    void SetUp() override
    {
        m_bus.plug(m_first);
        m_bus.plug(m_second);
        m_link.start();
        ASSERT_TRUE(waitUntil([this] { return m_link.connected(); }));
    }

    // The adapter with this serial is in use and its record is the one held.
    bool inUse(const char *serial, const char *owner)
    {
        return waitUntil([&] {
            return m_link.connected() && m_link.identity().serial == QLatin1String(serial) &&
                   readTextField(m_link.record().contact[0].name) == QLatin1String(owner);
        });
    }

    bool adaptersPresent(std::size_t count)
    {
        return waitUntil([&] { return m_link.presentAdapters().size() == count; });
    }

    // A setting changed from the window: only `target` takes it.
    void expectWrittenTo(EmulatedAdapter &target, EmulatedAdapter &other)
    {
        m_first->clearReceived();
        m_second->clearReceived();
        m_link.setMicGain(++m_gain);
        EXPECT_TRUE(target.waitFor([this](const AdapterState &s) { return s.record.mic_gain == m_gain; }));
        EXPECT_FALSE(received(other, CMD_WRITE_RECORD));
    }

    EmulatedBus m_bus;
    std::shared_ptr<EmulatedAdapter> m_first = adapterOwnedBy("V7-A", "Anna");
    std::shared_ptr<EmulatedAdapter> m_second = adapterOwnedBy("V7-B", "Bert");
    Adapter m_link{[this] {
        return std::make_unique<EmulatedBackend>(m_bus);
    }};
    std::int8_t m_gain = 0;
};

} // namespace

TEST_F(AdapterChoice, BothAreListedAndTheChosenOneIsUsedAndWrittenTo)
{
    EXPECT_EQ(m_link.presentAdapters(),
              (std::vector<PresentAdapter>{{"VESTRA7", "V7-A", "1.2", false, {}, "1-1", "V7-A"},
                                           {"VESTRA7", "V7-B", "1.2", false, {}, "1-2", "V7-B"}}));
    ASSERT_TRUE(inUse("V7-A", "Anna")) << "the first found, as without a choice";

    // The window is told of the connection once it has the chosen adapter's record to show.
    QStringList shownOnConnection;
    QObject::connect(&m_link, &Adapter::connectionChanged, [&](bool connected) {
        if (connected)
            shownOnConnection << readTextField(m_link.record().contact[0].name);
    });
    m_link.chooseAdapter(QStringLiteral("V7-B"));
    ASSERT_TRUE(inUse("V7-B", "Bert"));
    ASSERT_TRUE(waitUntil([&] { return !shownOnConnection.isEmpty(); }));
    EXPECT_EQ(shownOnConnection, QStringList{"Bert"});
    expectWrittenTo(*m_second, *m_first);
}

TEST_F(AdapterChoice, TheChoiceSurvivesTheOtherAdapterLeavingAndComingBack)
{
    m_link.chooseAdapter(QStringLiteral("V7-B"));
    ASSERT_TRUE(inUse("V7-B", "Bert"));

    m_bus.unplug(*m_first);
    ASSERT_TRUE(adaptersPresent(1));
    m_bus.plug(m_first);
    ASSERT_TRUE(adaptersPresent(2));
    ASSERT_TRUE(inUse("V7-B", "Bert"));
    expectWrittenTo(*m_second, *m_first);
}

TEST_F(AdapterChoice, WhenTheChosenOneLeavesTheFirstFoundIsUsedAndStaysSoWhenItReturns)
{
    // Which adapter the window is told of at each connection, and the record it then has to show.
    QStringList shownOnConnection;
    QObject::connect(&m_link, &Adapter::connectionChanged, [&](bool connected) {
        if (connected)
            shownOnConnection << m_link.identity().serial + ' ' + readTextField(m_link.record().contact[0].name);
    });
    m_link.chooseAdapter(QStringLiteral("V7-B"));
    ASSERT_TRUE(inUse("V7-B", "Bert"));

    m_bus.unplug(*m_second);
    ASSERT_TRUE(waitUntil([&] { return !shownOnConnection.isEmpty() && shownOnConnection.last().startsWith("V7-A"); }));
    EXPECT_EQ(shownOnConnection.last(), "V7-A Anna") << "connected before the new adapter's record came";
    ASSERT_TRUE(inUse("V7-A", "Anna"));
    m_bus.plug(m_second);
    ASSERT_TRUE(adaptersPresent(2));
    ASSERT_TRUE(inUse("V7-A", "Anna")) << "the choice went with the adapter";
    expectWrittenTo(*m_first, *m_second);
}

TEST_F(AdapterChoice, AnUpdateRestartsTheChosenAdapterWithoutHandingTheUpdateToTheOther)
{
    m_link.chooseAdapter(QStringLiteral("V7-B"));
    ASSERT_TRUE(inUse("V7-B", "Bert"));

    // The update window shows and asks the adapter into its boot loader; a search runs while the
    // adapter is off the bus for its restart.
    m_link.updater().enterBootLoader();
    ASSERT_TRUE(waitUntil([this] { return received(*m_second, CMD_ENTER_BOOT); }));
    m_bus.unplug(*m_second);
    ASSERT_TRUE(adaptersPresent(1));
    EXPECT_FALSE(m_link.connected()) << "the other adapter does not take its place";
    EXPECT_EQ(m_link.identity().serial, QStringLiteral("V7-B"));

    m_second->enterBootLoader(); // comes back as its boot loader
    m_bus.plug(m_second);
    ASSERT_TRUE(waitUntil([this] { return m_link.bootLoaderPresent(); }));
    EXPECT_EQ(m_link.identity().serial, QStringLiteral("V7-B"));
    EXPECT_FALSE(received(*m_first, CMD_ENTER_BOOT));

    m_link.updater().leaveBootLoader();
    ASSERT_TRUE(inUse("V7-B", "Bert")) << "back in its firmware, still the chosen one";
}

TEST_F(AdapterChoice, AnUnknownSerialMeansTheFirstFound)
{
    m_link.chooseAdapter(QStringLiteral("V7-B"));
    ASSERT_TRUE(inUse("V7-B", "Bert"));
    m_link.chooseAdapter(QStringLiteral("no such"));
    ASSERT_TRUE(inUse("V7-A", "Anna"));
}

TEST_F(AdapterChoice, AnAdapterThatCannotBeOpenedIsNotKeptLockedFromThoseWhoCan)
{
    m_second->refuseOpen(QStringLiteral("Permission denied"));
    m_link.chooseAdapter(QStringLiteral("V7-B"));
    AdapterLock other(m_bus.lockScope());
    EXPECT_TRUE(other.take(QStringLiteral("V7-B"))) << "locked by a program that could not open it";
    EXPECT_FALSE(other.take(QStringLiteral("V7-A"))) << "the adapter still claimed keeps its lock";
}

TEST_F(AdapterChoice, TheFirstFoundIsFollowedThroughTheRestartsOfAnUpdateThoughNoneWasChosen)
{
    // Off the bus as long as a real adapter is when it restarts; searches run meanwhile.
    m_first->setRestartGap(std::chrono::milliseconds(250));
    ASSERT_TRUE(inUse("V7-A", "Anna"));
    m_second->clearReceived();

    m_link.updater().enterBootLoader();
    ASSERT_TRUE(waitUntil([this] { return m_link.bootLoaderPresent(); }));
    EXPECT_EQ(m_link.identity().key, QStringLiteral("V7-A"));
    m_link.updater().leaveBootLoader();
    ASSERT_TRUE(waitUntil([this] { return m_first->state().restarts == 2; }));
    ASSERT_TRUE(inUse("V7-A", "Anna"));
    EXPECT_TRUE(m_second->state().received.empty()) << "the other adapter received a report";
    EXPECT_EQ(m_second->state().restarts, 0);
}

TEST_F(AdapterChoice, TheFirstFoundUnpluggedByHandGivesWayAtOnceWithoutAWord)
{
    ASSERT_TRUE(inUse("V7-A", "Anna"));
    QStringList notBack;
    QObject::connect(&m_link, &AdapterPort::adapterNotBack, [&](const QString &key) { notBack << key; });
    m_bus.unplug(*m_first);
    ASSERT_TRUE(inUse("V7-B", "Bert"));
    m_bus.plug(m_first);
    ASSERT_TRUE(adaptersPresent(2));
    ASSERT_TRUE(inUse("V7-B", "Bert")) << "the adapter in use gave way to the one plugged in again";
    EXPECT_TRUE(notBack.isEmpty()) << notBack.join(' ').toStdString();
}

// With or without its serial number reported by the boot loader, the adapter chosen is the one
// that restarts, is updated and comes back; the other receives nothing.
class UpdateOfTheChosenAdapter : public AdapterChoice, public testing::WithParamInterface<bool>
{
protected:
    UpdateOfTheChosenAdapter() { m_second = adapterOwnedBy("V7-B", "Bert", GetParam()); }
};

TEST_P(UpdateOfTheChosenAdapter, LeavesTheOtherUntouchedAndComesBackConnected)
{
    m_link.chooseAdapter(QStringLiteral("V7-B"));
    ASSERT_TRUE(inUse("V7-B", "Bert"));
    m_first->clearReceived();

    // The adapter restarts by itself into its boot loader and, at "Close", back into its firmware.
    m_link.updater().enterBootLoader();
    ASSERT_TRUE(waitUntil([this] { return m_link.bootLoaderPresent(); }));
    EXPECT_EQ(m_second->state().restarts, 1);
    EXPECT_EQ(m_link.identity().key, QStringLiteral("V7-B"));
    m_link.updater().leaveBootLoader();
    ASSERT_TRUE(waitUntil([this] { return m_second->state().restarts == 2; }));
    ASSERT_TRUE(inUse("V7-B", "Bert"));
    EXPECT_TRUE(m_first->state().received.empty()) << "the adapter not chosen received a report";
    expectWrittenTo(*m_second, *m_first);
}

INSTANTIATE_TEST_SUITE_P(BootLoaderSerial, UpdateOfTheChosenAdapter, testing::Bool());

} // namespace vestra7
