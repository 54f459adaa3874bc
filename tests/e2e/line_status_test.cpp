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
