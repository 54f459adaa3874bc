// SPDX-License-Identifier: GPL-3.0-or-later
// The commands without a window over the real Linux HID path: hidapi and udev meet two adapters on
// virtual hidraw nodes, one of which cannot be opened.
#include "app/tool_runner.h"
#include "link/hidapi_backend.h"
#include "model/byte_span.h"
#include "sim/demo_adapter.h"
#include "sim/emulated_adapter.h"
#include "support/virtual_hidraw.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

std::shared_ptr<EmulatedAdapter> adapterWith(const char *serial)
{
    return std::make_shared<EmulatedAdapter>(EmulatedIdentity::withSerialNumber(QString::fromLatin1(serial)));
}

class Commands : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!VirtualHidraw::isAvailable())
            GTEST_SKIP() << "runs under umockdev-wrapper";
        hidraw = std::make_unique<VirtualHidraw>();
        hidraw->addForeignDevice(QStringLiteral("Logi"), QStringLiteral("Keyboard"));
        hidraw->plug(first);
        hidraw->plug(second);
    }

    int run(const ToolCommand &command)
    {
        out.setData({});
        err.setData({});
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        ToolRunner runner([] { return std::make_unique<HidapiBackend>(); }, {&out, &err, false}, {},
                          folder.filePath(QStringLiteral("backups")));
        const int code = runner.run(command);
        out.close();
        err.close();
        return code;
    }

    std::shared_ptr<EmulatedAdapter> first = adapterWith("V7-A");
    std::shared_ptr<EmulatedAdapter> second = adapterWith("V7-B");
    std::unique_ptr<VirtualHidraw> hidraw;
    QBuffer out;
    QBuffer err;
    QTemporaryDir folder;
};

// The commands that restart the adapter, run with two adapters present and none named.
struct Restarting
{
    const char *name;
    ToolCommand::Kind kind;
    bool takesUpdateFile;
};

class RestartingCommands : public Commands, public testing::WithParamInterface<Restarting>
{
};

} // namespace

TEST_P(RestartingCommands, RestartOnlyTheFirstAdapterAndSendTheOtherNothing)
{
    // Away from the bus as long as a real adapter is when it restarts.
    first->setRestartGap(std::chrono::milliseconds(250));
    ToolCommand command;
    command.kind = GetParam().kind;
    if (GetParam().takesUpdateFile) {
        command.file = folder.filePath(QStringLiteral("VESTRA7-1.3.0.xupd"));
        QFile file(command.file);
        const std::vector<std::uint8_t> update = demoUpdateFile(2 * 1024);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(toByteArray(update)), static_cast<qint64>(update.size()));
    }

    ASSERT_EQ(run(command), 0) << err.data().toStdString();
    EXPECT_EQ(first->state().restarts, 2);
    const AdapterState other = second->state();
    EXPECT_TRUE(other.received.empty()) << other.received.size() << " messages reached the other adapter";
    EXPECT_EQ(other.restarts, 0);
}

INSTANTIATE_TEST_SUITE_P(WithoutSerial, RestartingCommands,
                         testing::Values(Restarting{"Update", ToolCommand::Kind::Update, true},
                                         Restarting{"ResetSettings", ToolCommand::Kind::ResetSettings, false}),
                         [](const testing::TestParamInfo<Restarting> &param) { return std::string(param.param.name); });

TEST_F(Commands, ListAndBackupOfAllThroughHidapiSkippingTheOneThatCannotBeOpened)
{
    second->refuseOpen(QStringLiteral("Permission denied"));

    ASSERT_EQ(run({ToolCommand::Kind::List, {}, {}, false, true}), 0) << err.data().toStdString();
    const QJsonArray adapters = QJsonDocument::fromJson(out.data()).object().value("adapters").toArray();
    ASSERT_EQ(adapters.size(), 2) << out.data().toStdString();
    EXPECT_EQ(adapters[0].toObject().value("serial").toString(), "V7-A");
    EXPECT_EQ(adapters[1].toObject().value("serial").toString(), "V7-B");
    EXPECT_EQ(adapters[1].toObject().value("mode").toString(), "normal");

    const QString file = folder.filePath(QStringLiteral("site.cfg"));
    EXPECT_EQ(run({ToolCommand::Kind::Backup, file, {}, true, false}), 4) << err.data().toStdString();
    QFile saved(folder.filePath(QStringLiteral("site-V7-A.cfg")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const DeviceRecord record = first->state().record;
    EXPECT_EQ(saved.readAll(), toByteArray(record.bytes()));
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("site-V7-B.cfg"))));
    EXPECT_TRUE(err.data().contains("V7-B: ")) << err.data().toStdString();
}

} // namespace vestra7
