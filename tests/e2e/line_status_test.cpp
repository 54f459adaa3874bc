// SPDX-License-Identifier: GPL-3.0-or-later
// Line health over the real Linux HID path: the adapter's signal level and USSD text change, and the
// Line status window and `status --watch --json` follow.
#include "program_fixture.h"

#include "app/application.h"
#include "app/tool_runner.h"
#include "support/gui_wait.h"
#include "ui/line_status_window.h"

#include <QAction>
#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include <csignal>
#include <cstring>

namespace vestra7 {

namespace {

class LineStatusOnHidraw : public ProgramOnHidraw
{
protected:
    // The adapter's radio reports something new, as it does on its own.
    void radioReports(std::int8_t signalA, const char *ussdText)
    {
        DeviceRecord record = adapter->state().record;
        record.rssi[0] = signalA;
        std::memset(record.usd_txt, 0, sizeof record.usd_txt);
        std::memcpy(record.usd_txt, ussdText, std::strlen(ussdText));
        adapter->setRecord(record);
    }
};

TEST_F(LineStatusOnHidraw, TheWindowFollowsTheSignalAndTheUssdText)
{
    startConnected();
    child<QAction>("lineStatusAction")->trigger();
    LineStatusWindow &lineStatus = app->lineStatusWindow();
    ASSERT_TRUE(lineStatus.isVisible());
    const auto shows = [&](const char *label, const QString &text) {
        return lineStatus.findChild<QLabel *>(QLatin1String(label))->text() == text;
    };
    ASSERT_TRUE(waitUntil([&] { return shows("signalA", "-63"); }));

    radioReports(-97, "Balance 12.50");
    EXPECT_TRUE(waitUntil([&] { return shows("signalA", "-97") && shows("ussdText", "Balance 12.50"); }));
    EXPECT_EQ(lineStatus.history().samples().back().level[0], -97);
}

TEST_F(LineStatusOnHidraw, SwitchingToTheOtherAdapterAndBackKeepsTheirHistoriesApart)
{
    auto second = std::make_shared<EmulatedAdapter>(EmulatedIdentity::withSerialNumber(QStringLiteral("V7-SECOND")));
    second->setUsbTiming(true);
    second->setSignalLevel(0, -41);
    second->setSignalLevel(1, -42);
    adapter->setSignalLevel(0, -97);
    startConnected();
    const QString first = link().identity().key;
    hidraw->plug(second);
    child<QAction>("lineStatusAction")->trigger();
    LineStatusWindow &lineStatus = app->lineStatusWindow();
    const auto shows = [&](const char *label, const QString &text) {
        return lineStatus.findChild<QLabel *>(QLatin1String(label))->text() == text;
    };
    const auto choose = [&](const QString &serial) {
        auto *menu = child<QMenu>("adapterMenu");
        QAction *choice = nullptr;
        EXPECT_TRUE(waitUntil([&] {
            for (QAction *action : menu->actions())
                if (action->text().endsWith(serial))
                    choice = action;
            return choice != nullptr;
        })) << "the menu does not offer "
            << serial.toStdString();
        if (choice != nullptr)
            choice->trigger();
    };
    ASSERT_TRUE(waitUntil([&] { return shows("adapterName", first) && shows("signalA", "-97"); }));

    choose(QStringLiteral("V7-SECOND"));
    ASSERT_TRUE(waitUntil([&] { return shows("adapterName", "V7-SECOND") && shows("signalA", "-41"); }));
    EXPECT_EQ(lineStatus.shownAdapter(), "V7-SECOND");
    ASSERT_TRUE(waitUntil([&] { return lineStatus.histories().of("V7-SECOND").samples().size() >= 5; }));

    choose(adapter->identity().serialNumber);
    ASSERT_TRUE(waitUntil([&] {
        const SignalHistory &history = lineStatus.histories().of(first);
        return shows("adapterName", first) && signalRuns(history.samples()).size() == 2 &&
               history.samples().back().level[0] == -97;
    }));
    // Each history holds its own adapter's levels only.
    const struct
    {
        QString adapter;
        std::int8_t level;
    } histories[] = {{first, -97}, {QStringLiteral("V7-SECOND"), -41}};
    for (const auto &[name, level] : histories)
        for (const SignalHistory::Sample &sample : lineStatus.histories().of(name).samples())
            ASSERT_EQ(sample.level[0], level) << name.toStdString() << " at " << sample.time;
}

TEST_F(LineStatusOnHidraw, StatusWatchPrintsTheChangeAndEndsWellOnCtrlC)
{
    plug();
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    ToolRunner runner(backend(), {&out, &err, false}, {}, folder.filePath(QStringLiteral("backups")));
    ToolCommand watch{ToolCommand::Kind::Status, {}, {}, false, true};
    watch.watch = true;
    // The radio changes once the first line is out; Ctrl+C once the change is.
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        const qsizetype printed = out.data().count('\n');
        if (printed == 1 && adapter->state().record.rssi[0] != -97)
            radioReports(-97, "Balance 12.50");
        if (printed == 2)
            std::raise(SIGINT);
    });
    user.start(20);
    ASSERT_EQ(runner.run(watch), 0) << err.data().toStdString();
    const QList<QByteArray> printed = out.data().trimmed().split('\n');
    ASSERT_EQ(printed.size(), 2) << out.data().toStdString();
    const QJsonObject last = QJsonDocument::fromJson(printed[1]).object();
    EXPECT_EQ(last.value("lines")[0].toObject().value("signal").toInt(), -97);
    EXPECT_EQ(last.value("ussdText").toString(), "Balance 12.50");
}

} // namespace

} // namespace vestra7
