// SPDX-License-Identifier: GPL-3.0-or-later
// The commands without a window, run in-process against two adapters on the emulated bus.
#include "app/tool_runner.h"
#include "link/commands.h"
#include "model/config_file.h"
#include "model/firmware_image.h"
#include "model/text_field.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "update/update_test_files.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace std::chrono_literals;

std::shared_ptr<EmulatedAdapter> adapterWith(const char *serial, const char *owner)
{
    auto adapter = std::make_shared<EmulatedAdapter>(EmulatedIdentity::withSerialNumber(QString::fromLatin1(serial)));
    DeviceRecord record = initialAdapterRecord();
    record.contact[0] = makeParty(owner, "+100");
    record.contact[1] = makeParty("Shared", "+200");
    record.mic_gain = 2;
    adapter->setRecord(record);
    return adapter;
}

QByteArray bytesOf(const DeviceRecord &record)
{
    return {reinterpret_cast<const char *>(record.bytes().data()), static_cast<qsizetype>(kRecordSize)};
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ToolRunnerTest : public testing::Test
{
protected:
    void plugBoth()
    {
        bus.plug(first);
        bus.plug(second);
    }

    int run(ToolCommand command)
    {
        out.setData({});
        err.setData({});
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        ToolRunner runner([this] { return std::make_unique<EmulatedBackend>(bus); }, {&out, &err, false}, timeouts,
                          backupRoot);
        const int code = runner.run(command);
        out.close();
        err.close();
        return code;
    }

    static ToolCommand command(ToolCommand::Kind kind, QString file = {}, QString serial = {}, bool all = false,
                               bool json = false)
    {
        return {kind, std::move(file), std::move(serial), all, json};
    }

    QString outText() const { return QString::fromUtf8(out.data()); }
    QString errText() const { return QString::fromUtf8(err.data()); }

    EmulatedBus bus;
    std::shared_ptr<EmulatedAdapter> first = adapterWith("V7-A", "Anna");
    std::shared_ptr<EmulatedAdapter> second = adapterWith("V7-B", "Bert");
    QBuffer out;
    QBuffer err;
    ToolTimeouts timeouts;
    FileFolder folder;
    QString backupRoot = folder.path(QStringLiteral("backups"));
};

} // namespace

TEST_F(ToolRunnerTest, ListAsJsonNamesEveryAdapterWithItsMode)
{
    plugBoth();
    second->enterBootLoader();
    ASSERT_TRUE(second->waitFor([](const AdapterState &s) { return s.bootMode; }));

    ASSERT_EQ(run(command(ToolCommand::Kind::List, {}, {}, false, true)), 0) << errText().toStdString();
    const QJsonArray adapters = QJsonDocument::fromJson(out.data()).object().value("adapters").toArray();
    ASSERT_EQ(adapters.size(), 2) << outText().toStdString();
    const QJsonObject a = adapters[0].toObject();
    EXPECT_EQ(a.value("serial").toString(), "V7-A");
    EXPECT_EQ(a.value("product").toString(), "VESTRA7");
    EXPECT_EQ(a.value("version").toString(), "1.2");
    EXPECT_EQ(a.value("mode").toString(), "normal");
    const QJsonObject b = adapters[1].toObject();
    EXPECT_EQ(b.value("serial").toString(), "V7-B");
    EXPECT_EQ(b.value("product").toString(), "VESTRA7 (boot)");
    EXPECT_EQ(b.value("mode").toString(), "boot loader");
}

TEST_F(ToolRunnerTest, BackupAndRestoreRoundTripByteForByteOnTheAdapterAsked)
{
    plugBoth();
    const DeviceRecord original = second->state().record;
    const QString file = folder.path("b.cfg");
    ASSERT_EQ(run(command(ToolCommand::Kind::Backup, file, "V7-B")), 0) << errText().toStdString();
    EXPECT_EQ(contentOf(file), bytesOf(original));

    DeviceRecord changed = original;
    changed.contact[0] = makeParty("Someone else", "+999");
    changed.spk_gain = 3;
    second->setRecord(changed);
    first->clearReceived();

    ASSERT_EQ(run(command(ToolCommand::Kind::Restore, file, "V7-B")), 0) << errText().toStdString();
    EXPECT_EQ(bytesOf(second->state().record), bytesOf(original));
    for (const ReceivedMessage &message : first->state().received)
        EXPECT_NE(message.cmd, CMD_WRITE_RECORD) << "the other adapter is not written to";

    const QString again = folder.path("again.cfg");
    ASSERT_EQ(run(command(ToolCommand::Kind::Backup, again, "V7-B")), 0);
    EXPECT_EQ(contentOf(again), contentOf(file));
}

TEST_F(ToolRunnerTest, AShortFileRestoresOnlyTheBytesItHolds)
{
    bus.plug(first);
    const DeviceRecord before = first->state().record;
    const QString file = folder.write("short.cfg", {1}); // the active line, line B
    ToolCommand restore = command(ToolCommand::Kind::Restore, file);
    restore.force = true; // unforced, a file of another size is refused (below)
    ASSERT_EQ(run(restore), 0) << errText().toStdString();
    DeviceRecord expected = before;
    expected.act_line = 1;
    EXPECT_EQ(bytesOf(first->state().record), bytesOf(expected));
}

TEST_F(ToolRunnerTest, BackupOfAllWritesOneFilePerAdapterNamedBySerial)
{
    plugBoth();
    ASSERT_EQ(run(command(ToolCommand::Kind::Backup, folder.path("set.cfg"), {}, true)), 0) << errText().toStdString();
    EXPECT_EQ(contentOf(folder.path("set-V7-A.cfg")), bytesOf(first->state().record));
    EXPECT_EQ(contentOf(folder.path("set-V7-B.cfg")), bytesOf(second->state().record));
    EXPECT_FALSE(QFile::exists(folder.path("set.cfg")));
}

TEST_F(ToolRunnerTest, UpdateOfAllLeavesEachAdapterWithTheExactImageAndBackInItsFirmware)
{
    plugBoth();
    const std::vector<std::uint8_t> payload = payloadBytes(5 * kFirmwareChunkSize + 100);
    const QString file = folder.write("fw.xupd", updateFile("MODEL=VESTRA7 &VERSION=1.3", payload));
    for (const auto &adapter : {first, second})
        adapter->expectImage(payload); // the result reports failure for any other image

    ASSERT_EQ(run(command(ToolCommand::Kind::Update, file, {}, true)), 0) << errText().toStdString();
    std::vector<std::uint8_t> image = payload;
    image.resize(6 * kFirmwareChunkSize, 0);
    for (const auto &adapter : {first, second}) {
        const AdapterState state = adapter->state();
        EXPECT_TRUE(state.image == image) << adapter->identity().serialNumber.toStdString();
        EXPECT_FALSE(state.bootMode);
    }
    EXPECT_TRUE(errText().contains("V7-A: 100 %\n")) << errText().toStdString();
    EXPECT_TRUE(errText().contains("V7-B: 100 %\n")) << errText().toStdString();
    EXPECT_EQ(outText().count("updated"), 2) << outText().toStdString();
}

TEST_F(ToolRunnerTest, AnUpdateFileForAnotherModelIsRefusedAndTheAdapterLeftInItsFirmware)
{
    bus.plug(first);
    const QString file = folder.write("other.xupd", updateFile("MODEL=OTHER&", payloadBytes(1000)));
    EXPECT_EQ(run(command(ToolCommand::Kind::Update, file)), 1);
    EXPECT_TRUE(first->waitFor([](const AdapterState &s) { return !s.bootMode && s.image.empty(); }));
}

TEST_F(ToolRunnerTest, ResetSettingsResetsOnlyTheAdapterAskedAndBringsItBack)
{
    plugBoth();
    ASSERT_EQ(run(command(ToolCommand::Kind::ResetSettings, {}, "V7-B")), 0) << errText().toStdString();
    const AdapterState state = second->state();
    EXPECT_FALSE(state.bootMode);
    EXPECT_EQ(state.record.mic_gain, kDefaultMicGain);
    EXPECT_TRUE(isEmptyEntry(state.record.contact[0]));
    EXPECT_EQ(first->state().record.mic_gain, 2) << "the other one keeps its settings";
}

TEST_F(ToolRunnerTest, ContactsExportedFromOneAdapterImportIntoAnother)
{
    plugBoth();
    const QString file = folder.path("book.csv");
    ASSERT_EQ(run(command(ToolCommand::Kind::ExportContacts, file, "V7-B")), 0) << errText().toStdString();
    ASSERT_EQ(run(command(ToolCommand::Kind::ImportContacts, file, "V7-A")), 0) << errText().toStdString();
    const DeviceRecord imported = first->state().record;
    EXPECT_EQ(readTextField(imported.contact[0].name), "Bert");
    EXPECT_EQ(readTextField(imported.contact[1].name), "Shared");
    EXPECT_TRUE(isEmptyEntry(imported.contact[2]));
}

TEST_F(ToolRunnerTest, AWriteTheAdapterNeverConfirmsFails)
{
    bus.plug(first);
    first->withholdReply(CMD_WRITE_RECORD);
    timeouts.answer = 1s;
    const QString file = folder.path("b.cfg");
    ASSERT_TRUE(!saveConfigFile(file, initialAdapterRecord()));
    EXPECT_EQ(run(command(ToolCommand::Kind::Restore, file)), 1);
    EXPECT_TRUE(errText().contains("did not confirm")) << errText().toStdString();
}

TEST_F(ToolRunnerTest, NoAdapterOrNoneWithTheSerialIsExitThree)
{
    EXPECT_EQ(run(command(ToolCommand::Kind::Backup, folder.path("x.cfg"))), 3);
    EXPECT_EQ(run(command(ToolCommand::Kind::List)), 3);
    bus.plug(first);
    EXPECT_EQ(run(command(ToolCommand::Kind::Backup, folder.path("x.cfg"), "V7-Z", false, true)), 3);
    const QJsonObject result = QJsonDocument::fromJson(out.data()).object();
    EXPECT_EQ(result.value("exitCode").toInt(), 3) << outText().toStdString();
    EXPECT_FALSE(QFile::exists(folder.path("x.cfg")));
}

TEST_F(ToolRunnerTest, AnAdapterThatCannotBeOpenedIsExitFourAndTheOthersStillRunWithAll)
{
    plugBoth();
    first->refuseOpen(QStringLiteral("Permission denied"));
    EXPECT_EQ(run(command(ToolCommand::Kind::Backup, folder.path("x.cfg"), "V7-A")), 4);
    EXPECT_TRUE(errText().contains("Permission denied")) << errText().toStdString();

    EXPECT_EQ(run(command(ToolCommand::Kind::Backup, folder.path("all.cfg"), {}, true)), 4);
    EXPECT_FALSE(QFile::exists(folder.path("all-V7-A.cfg")));
    EXPECT_EQ(contentOf(folder.path("all-V7-B.cfg")), bytesOf(second->state().record));
}
