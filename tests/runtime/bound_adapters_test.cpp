// SPDX-License-Identifier: GPL-3.0-or-later
// Two adapters on one bus and an Adapter bound to each in one process: each claims, locks, polls
// and writes only its own, and waits for it, rather than take the other, while it is away.
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

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>

namespace vestra7 {

namespace {

class BoundAdapters : public testing::Test
{
protected:
    void SetUp() override
    {
        m_bus.plug(m_first);
        m_bus.plug(m_second);
        // The second adapter's Adapter starts first, so that "the first one found" would be wrong.
        m_forSecond.claimOnly(QStringLiteral("V7-B"));
        m_forFirst.claimOnly(QStringLiteral("V7-A"));
        m_forSecond.start();
        m_forFirst.start();
    }

    // The Adapter is connected to the adapter with this serial and holds its record.
    static bool holds(const Adapter &link, const char *serial, const char *owner)
    {
        return waitUntil([&] {
            return link.connected() && link.identity().serial == QLatin1String(serial) &&
                   readTextField(link.record().contact[0].name) == QLatin1String(owner);
        });
    }

    EmulatedBus m_bus;
    std::shared_ptr<EmulatedAdapter> m_first = adapterOwnedBy("V7-A", "Anna");
    std::shared_ptr<EmulatedAdapter> m_second = adapterOwnedBy("V7-B", "Bert");
    Adapter m_forFirst{[this] {
        return std::make_unique<EmulatedBackend>(m_bus);
    }};
    Adapter m_forSecond{[this] {
        return std::make_unique<EmulatedBackend>(m_bus);
    }};
};

} // namespace

TEST_F(BoundAdapters, EachClaimsLocksPollsAndWritesOnlyItsOwn)
{
    ASSERT_TRUE(holds(m_forFirst, "V7-A", "Anna"));
    ASSERT_TRUE(holds(m_forSecond, "V7-B", "Bert"));
    AdapterLock other(m_bus.lockScope());
    EXPECT_FALSE(other.take(QStringLiteral("V7-A"))) << "the first adapter is not locked";
    EXPECT_FALSE(other.take(QStringLiteral("V7-B"))) << "the second adapter is not locked";

    m_first->clearReceived();
    m_second->clearReceived();
    EXPECT_TRUE(waitUntil([this] { return received(*m_first, CMD_POLL) && received(*m_second, CMD_POLL); }));

    m_forSecond.setMicGain(7);
    EXPECT_TRUE(m_second->waitFor([](const AdapterState &s) { return s.record.mic_gain == 7; }));
    m_forFirst.setLineGain(3);
    EXPECT_TRUE(m_first->waitFor([](const AdapterState &s) { return s.record.spk_gain == 3; }));
    EXPECT_EQ(m_first->state().record.mic_gain, initialAdapterRecord().mic_gain);
    EXPECT_EQ(m_second->state().record.spk_gain, initialAdapterRecord().spk_gain);
}

TEST_F(BoundAdapters, OneWhoseAdapterLeftWaitsForItAndIgnoresAChoice)
{
    ASSERT_TRUE(holds(m_forSecond, "V7-B", "Bert"));
    ASSERT_TRUE(m_forFirst.shutdown()) << "the other adapter stays locked"; // free to be taken
    m_bus.unplug(*m_second);
    ASSERT_TRUE(waitUntil([this] { return !m_forSecond.connected(); }));
    m_forSecond.chooseAdapter(QStringLiteral("V7-A"));
    m_forSecond.searchAgain();
    drainPostedEvents();
    EXPECT_FALSE(m_forSecond.connected()) << "took the other adapter in its place";
    EXPECT_EQ(m_forSecond.identity().serial, QStringLiteral("V7-B"));

    m_bus.plug(m_second);
    EXPECT_TRUE(holds(m_forSecond, "V7-B", "Bert"));
}

// As the command line's search does before each adapter gets an Adapter of its own: once shut down,
// it opens nothing and waits for no lock, whatever the bus does.
TEST_F(BoundAdapters, OneShutDownLooksForItsAdapterNoMore)
{
    ASSERT_TRUE(holds(m_forFirst, "V7-A", "Anna"));
    ASSERT_TRUE(m_forFirst.shutdown());
    QSignalSpy problems(&m_forFirst, &AdapterPort::accessProblem);
    QSignalSpy waits(&m_forFirst, &AdapterPort::inUseChanged);
    AdapterLock other(m_bus.lockScope());
    ASSERT_TRUE(other.take(QStringLiteral("V7-A")));
    m_first->replug();
    drainPostedEvents();
    EXPECT_EQ(problems.count(), 0) << "tried to open the adapter";
    EXPECT_EQ(waits.count(), 0) << "waits for the lock another holds";
}

} // namespace vestra7
