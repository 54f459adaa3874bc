// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the adapter, losing it and finding it again, as the user sees it.
#include "program_fixture.h"

#include "support/adapter_probe.h"
#include "support/box_answerer.h"
#include "support/gui_wait.h"

#include "link/commands.h"
#include "link/hid_controller.h"

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QTableWidget>

namespace vestra7 {

namespace {

class Connection : public ProgramOnHidraw
{
protected:
    // Disconnected: the overlay covers the window inside its margin, the panels take no input and of
    // the menu only "Update firmware" can be chosen.
    void expectDisconnected()
    {
        auto *veil = child<QWidget>("overlay");
        EXPECT_TRUE(veil->isVisible());
        EXPECT_EQ(veil->geometry(), veil->parentWidget()->rect().marginsRemoved(QMargins(10, 10, 10, 10)));
        EXPECT_FALSE(child<QWidget>("linePanel")->isEnabled());
        EXPECT_FALSE(child<QWidget>("partyNameEdit")->isEnabled());
        EXPECT_FALSE(child<QWidget>("phoneBookList")->isEnabled());
        QStringList usable;
        for (QAction *entry : child<QMenuBar>("mainMenu")->actions())
            if (entry->isEnabled())
                usable << entry->text().remove(u'&');
        EXPECT_EQ(usable, (QStringList{"Update firmware", "Help"}));
    }

    void expectConnected()
    {
        EXPECT_FALSE(child<QWidget>("overlay")->isVisible());
        EXPECT_TRUE(child<QWidget>("partyNameEdit")->isEnabled());
        EXPECT_TRUE(child<QWidget>("phoneBookList")->isEnabled());
        for (QAction *entry : child<QMenuBar>("mainMenu")->actions())
            EXPECT_TRUE(entry->isEnabled()) << entry->text().toStdString();
    }

    int pollsReceived(const AdapterState &state) const
    {
        return static_cast<int>(std::count_if(state.received.begin(), state.received.end(),
                                              [](const ReceivedMessage &m) { return m.cmd == CMD_POLL; }));
    }
};

TEST_F(Connection, StartsDisconnectedAndShowsTheAdapterOnceItIsPluggedIn)
{
    EmulatedIdentity identity;
    identity.product = QStringLiteral("VESTRA7 Pro");
    identity.serialNumber = QStringLiteral("V7-2099-004242");
    identity.version = 0x020B;
    adapter = std::make_shared<EmulatedAdapter>(identity);
    adapter->setUsbTiming(true);
    DeviceRecord record = initialAdapterRecord();
    record.contact[5] = makeParty("Anna Keller", "+4930556677");
    record.call_list[0] = makeParty("Night guard", "+79998887766");
    record.subscriber[0] = makeParty("Oleg", "+79035554411");
    adapter->setRecord(record);

    startProgram();
    // Another HID device arriving is found and passed over.
    hidraw->addForeignDevice(QStringLiteral("Other"), QStringLiteral("Keyboard"));
    ASSERT_TRUE(waitUntil([this] { return AdapterProbe::hidController(link())->devices().size() == 1; }));
    expectDisconnected();
    EXPECT_EQ(window().windowTitle(), "VESTRA7");
    EXPECT_EQ(refreshes, 0);

    hidraw->plug(adapter);
    ASSERT_TRUE(waitConnected());
    expectConnected();
    EXPECT_EQ(window().windowTitle(), "VESTRA7 Pro");
    auto *contacts = child<QTableWidget>("phoneBookList");
    auto *calls = child<QTableWidget>("callList");
    EXPECT_EQ(contacts->rowCount(), 32);
    EXPECT_EQ(calls->rowCount(), 16);
    EXPECT_EQ(contacts->item(5, 0)->text(), "Anna Keller");
    EXPECT_EQ(contacts->item(5, 1)->text(), "+4930556677");
    EXPECT_EQ(calls->item(0, 0)->text(), "Night guard");
    EXPECT_EQ(child<QLineEdit>("partyNameEdit")->text(), "Oleg");
    EXPECT_EQ(child<QLineEdit>("partyNumberEdit")->text(), "+79035554411");

    const BoxAnswerer about;
    child<QAction>("aboutAction")->trigger();
    ASSERT_TRUE(about.seen);
    EXPECT_EQ(about.seen->title, "Information");
    EXPECT_EQ(about.seen->text,
              "Model: VESTRA7 Pro\r\nSerial: V7-2099-004242\r\nSoftware version: 2.11\r\nProgram version: 1.0.0");
}

TEST_F(Connection, UnpluggedWhilePollingShowsDisconnectedAndPollingResumesWhenPluggedBackIn)
{
    startConnected();
    ASSERT_TRUE(waitForAdapter([this](const AdapterState &s) { return pollsReceived(s) >= 2; }));
    const QString firstNode = adapter->instance();

    adapter->unplug();
    ASSERT_TRUE(waitUntil([this] { return child<QWidget>("overlay")->isVisible(); }));
    expectDisconnected();
    const int refreshesWhileAway = refreshes;
    adapter->clearReceived();
    DeviceRecord changedWhileAway = initialAdapterRecord();
    changedWhileAway.contact[0] = makeParty("While away", "+100");
    adapter->setRecord(changedWhileAway);

    hidraw->plug(adapter);
    ASSERT_NE(adapter->instance(), firstNode);
    ASSERT_TRUE(waitConnected());
    expectConnected();
    EXPECT_GT(refreshes, refreshesWhileAway);
    EXPECT_TRUE(waitUntil([this] { return child<QTableWidget>("phoneBookList")->item(0, 0)->text() == "While away"; }));
    EXPECT_TRUE(waitForAdapter([this](const AdapterState &s) { return pollsReceived(s) >= 3; }))
        << "polling goes on at the new node";
}

} // namespace

} // namespace vestra7
