// SPDX-License-Identifier: GPL-3.0-or-later
// The exporter in-process over the emulated bus: which adapters it watches, how it follows plugging,
// how it hands an adapter over to another program that asks for it, and under which key it locks
// each; and its options on the command line.
#include "app/command_line.h"
#include "app/exporter.h"
#include "link/adapter_lock.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/adapter_builders.h"
#include "support/gui_wait.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

class ExporterTest : public testing::Test
{
protected:
    std::unique_ptr<Exporter> start(Exporter::Watch watch)
    {
        auto exporter = std::make_unique<Exporter>([this] { return std::make_unique<EmulatedBackend>(bus); },
                                                   std::move(watch), QByteArray("windows-1252"));
        EXPECT_TRUE(exporter->start(QStringLiteral("127.0.0.1:0")));
        return exporter;
    }

    static bool shows(Exporter &exporter, const char *series)
    {
        return exporter.metrics().contains(QByteArray(series) + '\n');
    }

    static bool waitToShow(Exporter &exporter, const char *series)
    {
        return waitUntil([&] { return shows(exporter, series); });
    }

    EmulatedBus bus;
    std::shared_ptr<EmulatedAdapter> first = adapterWithSignal("V7-A", -61);
    std::shared_ptr<EmulatedAdapter> second = adapterWithSignal("V7-B", -85);
};

} // namespace

TEST_F(ExporterTest, AllFollowsAdaptersPluggedInAndOutAndTheirValuesAsTheyChange)
{
    bus.plug(first);
    std::unique_ptr<Exporter> exporter = start({{}, true});
    ASSERT_TRUE(waitToShow(*exporter, "vestra7_line_rssi{adapter=\"V7-A\",line=\"A\"} -61"));

    // One plugged in later is watched as well, each Adapter staying with its own.
    bus.plug(second);
    ASSERT_TRUE(waitToShow(*exporter, "vestra7_line_rssi{adapter=\"V7-B\",line=\"A\"} -85"));
    EXPECT_TRUE(shows(*exporter, "vestra7_line_rssi{adapter=\"V7-A\",line=\"A\"} -61"));

    DeviceRecord weaker = first->state().record;
    weaker.rssi[0] = -97;
    first->setRecord(weaker);
    ASSERT_TRUE(waitToShow(*exporter, "vestra7_line_rssi{adapter=\"V7-A\",line=\"A\"} -97"));

    // Gone: reported so, without its line values; the other goes on.
    bus.unplug(*first);
    ASSERT_TRUE(waitToShow(*exporter, "vestra7_adapter_present{adapter=\"V7-A\"} 0"));
    EXPECT_TRUE(waitToShow(*exporter, "vestra7_adapter_connected{adapter=\"V7-A\"} 0"));
    EXPECT_FALSE(exporter->metrics().contains("vestra7_line_rssi{adapter=\"V7-A\""));
    EXPECT_TRUE(shows(*exporter, "vestra7_adapter_connected{adapter=\"V7-B\"} 1"));

    // Back again, under the same key.
    bus.plug(first);
    EXPECT_TRUE(waitToShow(*exporter, "vestra7_line_rssi{adapter=\"V7-A\",line=\"A\"} -97"));
    EXPECT_TRUE(shows(*exporter, "vestra7_adapter_present{adapter=\"V7-A\"} 1"));
}

TEST_F(ExporterTest, ASerialIsReportedFromTheStartAndWithoutAChoiceOnlyTheFirstAdapterIsWatched)
{
    bus.plug(second);
    std::unique_ptr<Exporter> chosen = start({QStringLiteral("V7-A"), false});
    ASSERT_TRUE(waitToShow(*chosen, "vestra7_adapter_present{adapter=\"V7-A\"} 0"));
    EXPECT_FALSE(chosen->metrics().contains("adapter=\"V7-B\""));
    bus.plug(first);
    EXPECT_TRUE(waitToShow(*chosen, "vestra7_adapter_connected{adapter=\"V7-A\"} 1"));
    chosen.reset();

    std::unique_ptr<Exporter> firstFound = start({});
    ASSERT_TRUE(waitToShow(*firstFound, "vestra7_adapter_connected{adapter=\"V7-B\"} 1"));
    bus.unplug(*second);
    ASSERT_TRUE(waitToShow(*firstFound, "vestra7_adapter_present{adapter=\"V7-B\"} 0"));
    // The one watched stays the one watched while another is plugged in.
    EXPECT_FALSE(firstFound->metrics().contains("adapter=\"V7-A\""));
}

TEST_F(ExporterTest, AnAdapterAskedForIsHandedOverAndTakenBackOnceFreeAndNoRequestCameForAWhile)
{
    bus.plug(first);
    bus.plug(second);
    std::unique_ptr<Exporter> exporter = start({{}, true});
    ASSERT_TRUE(waitToShow(*exporter, "vestra7_adapter_connected{adapter=\"V7-A\"} 1"));
    ASSERT_TRUE(waitToShow(*exporter, "vestra7_adapter_connected{adapter=\"V7-B\"} 1"));
    ASSERT_TRUE(waitUntil([&] { return !shows(*exporter, "vestra7_polls_total{adapter=\"V7-A\"} 0"); }));

    // The window's search asks at every try, as here.
    AdapterLock window(bus.lockScope());
    QElapsedTimer sinceAsked;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (window.take(QStringLiteral("V7-A")))
                return true;
            sinceAsked.start();
            return false;
        },
        std::chrono::seconds(2)));
    ASSERT_TRUE(sinceAsked.isValid()) << "it was asked for";
    EXPECT_EQ(exporter->adapter(QStringLiteral("V7-A")), nullptr);
    EXPECT_TRUE(shows(*exporter, "vestra7_adapter_held_by_other_program{adapter=\"V7-A\"} 1"));
    EXPECT_TRUE(shows(*exporter, "vestra7_adapter_connected{adapter=\"V7-A\"} 0"));
    EXPECT_TRUE(shows(*exporter, "vestra7_adapter_present{adapter=\"V7-A\"} 1"));
    EXPECT_FALSE(exporter->metrics().contains("vestra7_line_rssi{adapter=\"V7-A\""));
    EXPECT_TRUE(shows(*exporter, "vestra7_adapter_connected{adapter=\"V7-B\"} 1"));
    EXPECT_FALSE(shows(*exporter, "vestra7_polls_total{adapter=\"V7-A\"} 0")) << "counters never go back";

    // Free again, it is taken back only once the request has gone stale: were it taken at once, the
    // one who asked would lose it to the exporter between two of its tries.
    window.release();
    ASSERT_TRUE(waitToShow(*exporter, "vestra7_adapter_held_by_other_program{adapter=\"V7-A\"} 0"));
    EXPECT_GE(sinceAsked.elapsed(), AdapterLock::kRequestLifetime.count());
    EXPECT_TRUE(waitToShow(*exporter, "vestra7_line_rssi{adapter=\"V7-A\",line=\"A\"} -61"));
    EXPECT_FALSE(window.take(QStringLiteral("V7-A"))) << "held by the exporter again";
}

TEST_F(ExporterTest, AnAdapterWhoseLockAnotherProgramHoldsIsReportedHeldAndTakenOnceFreeAndTheOthersWatched)
{
    bus.plug(first);
    bus.plug(second);
    auto other = std::make_unique<AdapterLock>(bus.lockScope());
    ASSERT_TRUE(other->take(QStringLiteral("V7-A")));
    std::unique_ptr<Exporter> exporter = start({{}, true});
    ASSERT_TRUE(waitToShow(*exporter, "vestra7_adapter_connected{adapter=\"V7-B\"} 1"));
    EXPECT_TRUE(waitToShow(*exporter, "vestra7_adapter_held_by_other_program{adapter=\"V7-A\"} 1"));
    EXPECT_TRUE(shows(*exporter, "vestra7_adapter_connected{adapter=\"V7-A\"} 0"));

    // The exporter's own lock keeps the other program out while it watches.
    other.reset();
    EXPECT_TRUE(waitToShow(*exporter, "vestra7_adapter_connected{adapter=\"V7-A\"} 1"));
    EXPECT_TRUE(shows(*exporter, "vestra7_adapter_held_by_other_program{adapter=\"V7-A\"} 0"));
    AdapterLock late(bus.lockScope(), AdapterLock::Hold::UntilAsked); // asks nobody to hand over
    EXPECT_FALSE(late.take(QStringLiteral("V7-A")));
    EXPECT_FALSE(late.take(QStringLiteral("V7-B")));
}

TEST_F(ExporterTest, AdaptersThatShareASerialNumberAreLockedUnderTheKeysEveryProgramUses)
{
    first = adapterWithSignal("DUP", -61);
    second = adapterWithSignal("DUP", -85);
    bus.plug(first);
    bus.plug(second);
    std::unique_ptr<Exporter> exporter = start({{}, true});
    ASSERT_TRUE(waitToShow(*exporter, "vestra7_line_rssi{adapter=\"DUP@1-1\",line=\"A\"} -61"));
    ASSERT_TRUE(waitToShow(*exporter, "vestra7_line_rssi{adapter=\"DUP@1-2\",line=\"A\"} -85"));
    AdapterLock other(bus.lockScope(), AdapterLock::Hold::UntilAsked);
    EXPECT_FALSE(other.take(QStringLiteral("DUP@1-1")));
    EXPECT_FALSE(other.take(QStringLiteral("DUP@1-2")));
    EXPECT_TRUE(other.take(QStringLiteral("DUP"))) << "no adapter goes by the bare serial number";
}

TEST_F(ExporterTest, WithNoAdapterTheVersionAndTheCountAreServedAndAnAdapterGoneForAnUpdateLeavesNoKeyBehind)
{
    std::unique_ptr<Exporter> exporter = start({{}, true});
    EXPECT_TRUE(shows(*exporter, "vestra7_adapters_present 0"));
    EXPECT_TRUE(exporter->metrics().contains("vestra7_build_info{version=\""));

    // A boot loader without serial number is keyed by its port while it shows; once the adapter is
    // back in its firmware there, that key is gone, or it would read as an adapter gone for good.
    std::shared_ptr<EmulatedAdapter> restarting = adapterOwnedBy("V7-A", "Ann", false);
    bus.plug(restarting);
    ASSERT_TRUE(waitToShow(*exporter, "vestra7_adapter_connected{adapter=\"V7-A\"} 1"));
    EXPECT_TRUE(shows(*exporter, "vestra7_adapters_present 1"));
    restarting->enterBootLoader();
    ASSERT_TRUE(waitUntil([&] { return exporter->metrics().contains("vestra7_adapter_present{adapter=\"@"); }));
    EXPECT_TRUE(shows(*exporter, "vestra7_adapter_present{adapter=\"V7-A\"} 0"));
    restarting->leaveBootLoader();
    ASSERT_TRUE(waitToShow(*exporter, "vestra7_adapter_connected{adapter=\"V7-A\"} 1"));
    EXPECT_TRUE(waitUntil([&] { return !exporter->metrics().contains("adapter=\"@"); }))
        << exporter->metrics().toStdString();
    EXPECT_TRUE(shows(*exporter, "vestra7_adapters_present 1"));
}

TEST(ExporterOptions, ListenAddresses)
{
    struct Case
    {
        const char *text;
        const char *bound; // as the server takes it; null: refused
    };
    for (const Case &c : {
             Case{"127.0.0.1:9787", "127.0.0.1:9787"},
             Case{"[::1]:0", "[::1]:0"},
             Case{"0.0.0.0:65535", "0.0.0.0:65535"},
             Case{"localhost:9100", "127.0.0.1:9100"},
             Case{"127.0.0.1:65536", nullptr},
             Case{"::1:9787", nullptr},
             Case{"[localhost]:9787", nullptr},
             Case{"127.0.0.1", nullptr},
             Case{":9787", nullptr},
             Case{"", nullptr},
             Case{"127.0.0.1:x", nullptr},
             Case{"127.0.0.1:+80", nullptr},
             Case{"127.0.0.1:-1", nullptr},
             Case{"127.0.0.1: 80", nullptr},
             Case{"127.0.0.1:", nullptr},
             Case{"0x7f.1:80", nullptr},
             Case{"0x7f:80", nullptr},
             Case{"2130706433:80", nullptr},
             Case{"127.1:80", nullptr},
             Case{"127.000.0.1:80", nullptr},
             Case{"256.0.0.1:80", nullptr},
             Case{"-host:80", nullptr},
             Case{"host_name:80", nullptr},
             Case{"exa mple:80", nullptr},
         }) {
        const std::optional<ListenAddress> listen = parseListenAddress(QLatin1String(c.text));
        ASSERT_EQ(listen.has_value(), c.bound != nullptr) << c.text;
        if (!listen)
            continue;
        const Result<QString> bound = bindAddress(*listen);
        ASSERT_TRUE(bound) << c.text << ": " << bound.error().message.toStdString();
        EXPECT_EQ(*bound, QLatin1String(c.bound)) << c.text;
    }
    EXPECT_TRUE(listensEverywhere(QStringLiteral("0.0.0.0:9787")));
    EXPECT_TRUE(listensEverywhere(QStringLiteral("[::]:9787")));
    EXPECT_FALSE(listensEverywhere(QStringLiteral("127.0.0.1:9787")));
    EXPECT_FALSE(listensEverywhere(QStringLiteral("[::1]:9787")));
}

TEST(ExporterOptions, TheCommandLineTakesTheExportersOptionsAndRefusesThemElsewhere)
{
    const auto parse = [](QStringList arguments) {
        arguments.prepend(QStringLiteral("vestra7"));
        return parseCommandLine(arguments);
    };
    const CommandLine exporter =
        parse({QStringLiteral("exporter"), QStringLiteral("--all"), QStringLiteral("--listen"),
               QStringLiteral("[::1]:9100"), QStringLiteral("--code-page"), QStringLiteral("windows-1251")});
    ASSERT_EQ(exporter.action, CommandLine::Action::RunTool) << exporter.text.toStdString();
    EXPECT_EQ(exporter.tool.kind, ToolCommand::Kind::Exporter);
    EXPECT_TRUE(exporter.tool.all);
    EXPECT_EQ(exporter.tool.listen, QStringLiteral("[::1]:9100"));
    EXPECT_FALSE(parse({QStringLiteral("exporter")}).tool.listen) << "none given: the default";
    EXPECT_EQ(exporter.tool.codePage, QStringLiteral("windows-1251"));

    for (const QStringList &refused : {
             QStringList{QStringLiteral("backup"), QStringLiteral("f.cfg"), QStringLiteral("--listen"),
                         QStringLiteral("127.0.0.1:1")},
             QStringList{QStringLiteral("exporter"), QStringLiteral("--listen"), QStringLiteral("9787")},
             QStringList{QStringLiteral("exporter"), QStringLiteral("--listen"), QString()},
             QStringList{QStringLiteral("exporter"), QStringLiteral("--listen"), QStringLiteral("0x7f.1:80")},
             QStringList{QStringLiteral("exporter"), QStringLiteral("--code-page"), QStringLiteral("koi8-r")},
             QStringList{QStringLiteral("exporter"), QStringLiteral("--json")},
             QStringList{QStringLiteral("exporter"), QStringLiteral("--all"), QStringLiteral("--serial"),
                         QStringLiteral("V7-A")},
             QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:1")},
         })
        EXPECT_EQ(parse(refused).action, CommandLine::Action::Refuse) << refused.join(QLatin1Char(' ')).toStdString();
}

} // namespace vestra7
