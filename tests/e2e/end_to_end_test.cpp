// SPDX-License-Identifier: GPL-3.0-or-later
// The main window over the emulated adapter, through a real device link: edits, calls and settings
// reach the adapter, and its replies are what the window shows.
#include "link/adapter.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/gui_wait.h"
#include "support/record_builders.h"
#include "ui/firmware_update_dialog.h"
#include "ui/main_window.h"
#include "widgets/glyph_button.h"
#include "widgets/spin_selector.h"

#include "model/text_field.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

namespace vestra7 {

namespace {

// The adapter's replies reach the window through the GUI thread: wait with the event loop running.
bool adapterReaches(EmulatedAdapter &adapter, const std::function<bool(const AdapterState &)> &condition)
{
    return waitUntil([&] { return condition(adapter.state()); });
}

bool holds(const PartyEntry &entry, const char *name, const char *number)
{
    const PartyEntry expected = makeParty(name, number);
    return std::memcmp(&entry, &expected, sizeof entry) == 0;
}

TEST(EndToEnd, ChangesReachTheAdapterAndItsRepliesAreShown)
{
    EmulatedBus bus;
    const auto adapter = std::make_shared<EmulatedAdapter>();
    bus.plug(adapter);
    Adapter link([&bus] { return std::make_unique<EmulatedBackend>(bus); });
    MainWindow window(link);
    FirmwareUpdateDialog fu(link);
    window.setUpdateWindow(&fu);

    window.show();
    auto *name = window.findChild<QLineEdit *>("partyNameEdit");
    auto *number = window.findChild<QLineEdit *>("partyNumberEdit");
    auto *calls = window.findChild<QTableWidget *>("callList");
    auto *callA = window.findChild<GlyphButton *>("callButtonLineA");
    auto *hangUpA = window.findChild<GlyphButton *>("hangUpButtonLineA");
    auto *overlay = window.findChild<QWidget *>("overlay");
    ASSERT_TRUE(waitUntil([&] { return !overlay->isVisible() && calls->rowCount() == 16; }));

    // Store a party in the phone book with Enter, then call it.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    name->setFocus();
    QTest::keyClicks(name, "Eve");
    QTest::keyClicks(number, "+15550100");
    QTest::keyClick(number, Qt::Key_Return);
    EXPECT_TRUE(
        adapterReaches(*adapter, [](const AdapterState &s) { return holds(s.record.contact[0], "Eve", "+15550100"); }));
    ASSERT_TRUE(waitUntil([&] { return callA->isEnabled(); }));
    QTest::mouseClick(callA, Qt::LeftButton);
    EXPECT_TRUE(adapterReaches(*adapter, [](const AdapterState &s) { return s.record.stat[0] == 3; }));
    ASSERT_TRUE(waitUntil([&] { return hangUpA->isEnabled() && !callA->isEnabled(); }));
    EXPECT_EQ(calls->item(0, 0)->text(), "Eve");

    QTest::mouseClick(hangUpA, Qt::LeftButton);
    EXPECT_TRUE(adapterReaches(*adapter, [](const AdapterState &s) { return s.record.stat[0] == 1; }));
    ASSERT_TRUE(waitUntil([&] { return !hangUpA->isEnabled(); }));

    // A setting.
    window.findChild<QAction *>("settingsAction")->trigger();
    auto *mic = window.findChild<SpinSelector *>("micGainSelector");
    mic->setFocus();
    QTest::keyClick(mic, Qt::Key_Up);
    EXPECT_TRUE(adapterReaches(*adapter, [](const AdapterState &s) { return s.record.mic_gain == 6; }));

    // What the adapter does by itself shows too.
    adapter->raiseIncomingCall(1, makeParty("Ring", "+4930"));
    EXPECT_TRUE(waitUntil([&] {
        return calls->item(0, 0)->text() == "Ring" && window.findChild<GlyphButton *>("hangUpButtonLineB")->isEnabled();
    }));
    EXPECT_EQ(mic->text(), "+9.0 dB ");

    // The windows go before the link, so no thread may call into them once they are gone.
    link.shutdown();
}

TEST(EndToEnd, ABalanceRequestTakesStarAndHashOnlyPastedAndIsAnsweredWithAText)
{
    EmulatedBus bus;
    const auto adapter = std::make_shared<EmulatedAdapter>();
    adapter->setUssdAnswer("Balance 7.00");
    bus.plug(adapter);
    Adapter link([&bus] { return std::make_unique<EmulatedBackend>(bus); });
    MainWindow window(link);
    window.show();
    auto *number = window.findChild<QLineEdit *>("partyNumberEdit");
    auto *callA = window.findChild<GlyphButton *>("callButtonLineA");
    auto *overlay = window.findChild<QWidget *>("overlay");
    ASSERT_TRUE(waitUntil([&] { return !overlay->isVisible(); }));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    number->setFocus();
    number->clear();

    QTest::keyClicks(number, "*100#");
    EXPECT_EQ(number->text(), "100"); // typed, the star and the hash are refused
    number->clear();
    QApplication::clipboard()->setText(QStringLiteral("*100#"));
    QTest::keyClick(number, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(number->text(), "*100#");
    ASSERT_TRUE(waitUntil([&] { return callA->isEnabled(); }));
    QTest::mouseClick(callA, Qt::LeftButton);
    EXPECT_TRUE(adapterReaches(*adapter, [](const AdapterState &s) {
        return std::strcmp(reinterpret_cast<const char *>(s.record.usd_txt), "Balance 7.00") == 0;
    }));
}

} // namespace

} // namespace vestra7
