// SPDX-License-Identifier: GPL-3.0-or-later
// The commands without a window, run in-process against two adapters on the emulated bus.
#include "app/tool_runner.h"
#include "app/tool_text.h"
#include "link/adapter_lock.h"
#include "link/commands.h"
#include "link/lock_holder_process.h"
#include "model/ansi_codec.h"
#include "model/backup_store.h"
#include "model/byte_span.h"
#include "model/code_page_memory.h"
#include "model/config_file.h"
#include "model/firmware_image.h"
#include "model/text_field.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_backend.h"
#include "sim/emulated_bus.h"
#include "support/gui_wait.h"
#include "support/record_builders.h"
#include "support/sanitizers.h"
#include "support/tiny_disk.h"
#include "support/update_test_files.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>
#include <random>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace vestra7 {

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
    return toByteArray(record.bytes());
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

    int run(ToolCommand command) { return runOn(bus, std::move(command)); }

    // The command on the adapters of `on`, a bus of the test's own.
    int runOn(EmulatedBus &on, ToolCommand command)
    {
        out.setData({});
        err.setData({});
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        ToolRunner runner([&on] { return std::make_unique<EmulatedBackend>(on); }, {&out, &err, false}, timeouts,
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

    static bool wasSent(const EmulatedAdapter &adapter, std::uint8_t cmd)
    {
        const std::vector<ReceivedMessage> received = adapter.state().received;
        return std::any_of(received.begin(), received.end(),
                           [cmd](const ReceivedMessage &message) { return message.cmd == cmd; });
    }

    // The adapter's backups, each file's path.
    QStringList backupsOf(const QString &serial) const
    {
        QStringList paths;
        for (const BackupInfo &backup : BackupStore(backupRoot).backups(serial))
            paths << backup.path;
        return paths;
    }

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

TEST_F(ToolRunnerTest, OnAFullDiskBackupAndExportFailAndKeepTheFilesThatWereThere)
{
    const TinyDisk disk;
    REQUIRE_TINY_DISK(disk);
    plugBoth();
    for (const auto kind : {ToolCommand::Kind::Backup, ToolCommand::Kind::ExportContacts}) {
        const QString file = disk.path(kind == ToolCommand::Kind::Backup ? "b.cfg" : "pb.vcf");
        ASSERT_EQ(run(command(kind, file, "V7-A")), 0) << errText().toStdString();
        const QByteArray before = contentOf(file);
        ASSERT_FALSE(before.isEmpty());
        disk.fill();
        EXPECT_EQ(run(command(kind, file, "V7-B")), 1) << outText().toStdString();
        EXPECT_TRUE(errText().contains(file)) << errText().toStdString();
        EXPECT_EQ(contentOf(file), before);
        ASSERT_TRUE(QFile::remove(disk.path("filler")));
    }
}

TEST_F(ToolRunnerTest, ADashWritesTheFileAloneToStandardOutput)
{
    plugBoth();
    ASSERT_EQ(run(command(ToolCommand::Kind::Backup, "-", "V7-B")), 0) << errText().toStdString();
    EXPECT_EQ(out.data(), bytesOf(second->state().record));
    EXPECT_TRUE(errText().contains("standard output")) << errText().toStdString();
    EXPECT_FALSE(QFile::exists("-"));

    ASSERT_EQ(run(command(ToolCommand::Kind::ExportContacts, "-", "V7-A")), 0) << errText().toStdString();
    EXPECT_TRUE(outText().startsWith("BEGIN:VCARD\r\n")) << outText().toStdString();
    EXPECT_TRUE(outText().contains("FN:Anna\r\n")) << outText().toStdString();
    EXPECT_TRUE(outText().endsWith("END:VCARD\r\n")) << outText().toStdString();
}

TEST_F(ToolRunnerTest, ADeviceNodeIsNeverReplacedByABackup)
{
    plugBoth();
    // A pipe stands for any node that is not a regular file; as root, /dev/null was replaced once.
    const QString node = folder.path("node");
    ASSERT_EQ(::mkfifo(QFile::encodeName(node).constData(), 0600), 0);
    EXPECT_EQ(run(command(ToolCommand::Kind::Backup, node, "V7-A")), 1);
    EXPECT_TRUE(errText().contains("not a regular file")) << errText().toStdString();
    EXPECT_TRUE(QFileInfo(node).exists() && !QFileInfo(node).isFile());
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

// Adapters that share a serial number, or have none, each keep their backups under their own port,
// and an update of all takes one first-seen backup of each, on which the update's step is noted.
TEST_F(ToolRunnerTest, TwinsAreBackedUpApartAndUpdateOfAllBacksEachUpOncePerStep)
{
    for (const char *serial : {"DUP", ""}) {
        SCOPED_TRACE(serial);
        backupRoot = folder.path(QStringLiteral("backups-%1").arg(serial));
        EmulatedBus shared;
        const auto anna = adapterWith(serial, "Anna");
        const auto bert = adapterWith(serial, "Bert");
        const auto cleo = adapterWith("V7-C", "Cleo");
        for (const auto &adapter : {anna, bert, cleo})
            shared.plug(adapter);
        const std::vector<std::uint8_t> payload = payloadBytes(2 * kFirmwareChunkSize);
        const QString file = folder.write("fw.xupd", updateFile("MODEL=VESTRA7 &VERSION=1.3", payload));
        ASSERT_EQ(runOn(shared, command(ToolCommand::Kind::Update, file, {}, true)), 0) << errText().toStdString();

        const BackupStore store(backupRoot);
        const struct
        {
            StoreIdentity identity;
            const char *owner;
        } expected[] = {{{serial, "1-1"}, "Anna"}, {{serial, "1-2"}, "Bert"}, {{"V7-C"}, "Cleo"}};
        for (const auto &[identity, owner] : expected) {
            SCOPED_TRACE(owner);
            const std::vector<BackupInfo> backups = store.backups(identity);
            ASSERT_EQ(backups.size(), 1u);
            EXPECT_EQ(backups[0].steps, (std::vector{BackupStep::FirstSeen, BackupStep::FirmwareUpdate}));
            const Result<DeviceRecord> stored = readBackup(backups[0].path);
            ASSERT_TRUE(stored);
            EXPECT_EQ(readTextField(stored->contact[0].name), owner);
        }
        EXPECT_TRUE(store.backups(StoreIdentity(serial)).empty()) << "nothing under the shared serial alone";
    }
}

TEST_F(ToolRunnerTest, TheBackupBeforeAnImportIsNotedUnderItsOwnStep)
{
    plugBoth();
    const QByteArray book("Name,Number\r\nDora,+300\r\n");
    const QString file = folder.write("book.csv", std::vector<std::uint8_t>(book.begin(), book.end()));
    ASSERT_EQ(run(command(ToolCommand::Kind::ImportContacts, file, "V7-A")), 0) << errText().toStdString();
    const std::vector<BackupInfo> backups = BackupStore(backupRoot).backups(QStringLiteral("V7-A"));
    ASSERT_EQ(backups.size(), 1u) << "the record read first is the one the import replaced";
    EXPECT_EQ(backups[0].steps, (std::vector{BackupStep::FirstSeen, BackupStep::ImportContacts}));
    EXPECT_EQ(readTextField(first->state().record.contact[0].name), "Dora");
}

TEST_F(ToolRunnerTest, UpdateOfAllGoesOnPastFailingAdaptersAndExitsAsTheFirstOfThemInListOrder)
{
    const auto third = adapterWith("V7-C", "Cleo");
    plugBoth();
    bus.plug(third);
    const std::vector<std::uint8_t> payload = payloadBytes(8 * kFirmwareChunkSize);
    const QString file = folder.write("fw.xupd", updateFile("MODEL=VESTRA7 &VERSION=1.3", payload));
    first->expectImage(payload);
    second->expectImage(payloadBytes(100)); // its boot loader reports a failure for this image
    third->expectImage(payload);
    third->refuseOpen(QStringLiteral("Permission denied"));

    // Run one after another, no two adapters would ever be in their boot loaders together.
    bool together = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout,
                     [&] { together = together || (first->state().bootMode && second->state().bootMode); });
    look.start(1);
    // The second adapter fails first in the list (1), before the third that cannot be opened (4).
    ASSERT_EQ(run(command(ToolCommand::Kind::Update, file, {}, true, true)), 1) << errText().toStdString();
    EXPECT_TRUE(together) << "the transfers ran at once";
    const QJsonArray results = QJsonDocument::fromJson(out.data()).object().value("results").toArray();
    ASSERT_EQ(results.size(), 3) << outText().toStdString();
    const struct
    {
        const char *serial;
        int exitCode;
        const char *message;
    } expected[] = {{"V7-A", 0, "updated with"}, {"V7-B", 1, "The update failed."}, {"V7-C", 4, "Permission denied"}};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject result = results[i].toObject();
        EXPECT_EQ(result.value("serial").toString(), expected[i].serial);
        EXPECT_EQ(result.value("exitCode").toInt(), expected[i].exitCode) << expected[i].serial;
        EXPECT_TRUE(result.value("message").toString().contains(expected[i].message))
            << result.value("message").toString().toStdString();
    }
    EXPECT_TRUE(first->state().image == payload) << "the one that could be updated was, to the end";
    EXPECT_FALSE(first->state().bootMode);
    EXPECT_FALSE(wasSent(*third, CMD_ENTER_BOOT));
}

TEST_F(ToolRunnerTest, AdaptersWhoseBootLoadersCannotBeToldApartAreEachUpdatedWithTheWholeImage)
{
    for (const char *serial : {"DUP", ""}) {
        SCOPED_TRACE(serial);
        EmulatedBus shared;
        const auto anna = adapterWith(serial, "Anna");
        const auto bert = adapterWith(serial, "Bert");
        const auto cleo = adapterWith("V7-C", "Cleo");
        for (const auto &adapter : {anna, bert, cleo})
            shared.plug(adapter);
        const std::vector<std::uint8_t> payload = payloadBytes(3 * kFirmwareChunkSize);
        const QString file = folder.write("fw.xupd", updateFile("MODEL=VESTRA7 &VERSION=1.3", payload));
        for (const auto &adapter : {anna, bert, cleo})
            adapter->expectImage(payload);
        EXPECT_EQ(runOn(shared, command(ToolCommand::Kind::Update, file, {}, true)), 0) << errText().toStdString();
        for (const auto &adapter : {anna, bert, cleo}) {
            EXPECT_TRUE(adapter->state().image == payload);
            EXPECT_FALSE(adapter->state().bootMode);
        }
    }
}

TEST_F(ToolRunnerTest, AnUpdateFileForAnotherModelIsRefusedBeforeTheAdapterRestarts)
{
    bus.plug(first);
    const QString file = folder.write("other.xupd", updateFile("MODEL=OTHER&VERSION=9.0", payloadBytes(1000)));
    EXPECT_EQ(run(command(ToolCommand::Kind::Update, file, {}, false, true)), 1);
    EXPECT_TRUE(first->waitFor([](const AdapterState &s) { return !s.bootMode && s.image.empty(); }));
    EXPECT_FALSE(wasSent(*first, CMD_ENTER_BOOT));
    const QJsonObject result = QJsonDocument::fromJson(out.data()).object().value("results")[0].toObject();
    EXPECT_EQ(result.value("file").toString(), file) << "an update's result names its file";
    EXPECT_EQ(result.value("message").toString(), "The update file is for a OTHER; the adapter is a VESTRA7.");
}

// Each file is refused with exit 1 and the reason, before anything reaches the adapter: no write, no
// restart, no backup. With --force the ones a person might mean go through (a configuration file of
// another size is written as far as it goes, as "Load from file" does).
struct HostileCase
{
    const char *what;
    ToolCommand::Kind kind;
    std::function<QString(FileFolder &)> file;
    const char *reason;
    bool forceable;
};

std::vector<std::uint8_t> randomBytes(std::size_t count)
{
    std::mt19937 random(21);
    std::vector<std::uint8_t> bytes(count);
    for (std::uint8_t &byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

std::vector<std::uint8_t> textBytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

class HostileInput : public ToolRunnerTest, public testing::WithParamInterface<HostileCase>
{
};

INSTANTIATE_TEST_SUITE_P(
    ToolRunner, HostileInput,
    testing::Values(
        HostileCase{"a device endless of zeros given to restore", ToolCommand::Kind::Restore,
                    [](FileFolder &) { return QStringLiteral("/dev/zero"); }, "It gives more than 65536 bytes", false},
        HostileCase{"an update file given to restore", ToolCommand::Kind::Restore,
                    [](FileFolder &f) {
                        return f.write("fw.xupd", updateFile("MODEL=VESTRA7 &VERSION=1.3", payloadBytes(2000)));
                    },
                    "its size is 2031 bytes, a configuration file's is 1789 bytes", true},
        HostileCase{"an empty file given to restore", ToolCommand::Kind::Restore,
                    [](FileFolder &f) { return f.write("empty.cfg", {}); }, "its size is 0 bytes", true},
        HostileCase{"an empty vCard", ToolCommand::Kind::ImportContacts,
                    [](FileFolder &f) { return f.write("empty.vcf", {}); }, "holds no contacts", false},
        HostileCase{"random bytes as contacts", ToolCommand::Kind::ImportContacts,
                    [](FileFolder &f) { return f.write("noise.csv", randomBytes(4096)); },
                    "does not look like a phone book", true},
        HostileCase{"a name the code page cannot hold", ToolCommand::Kind::ImportContacts,
                    [](FileFolder &f) {
                        return f.write("cjk.vcf", textBytes("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\xe7\x8e\x8b Li\r\n"
                                                            "TEL:+8610123\r\nEND:VCARD\r\n"));
                    },
                    "cannot hold these characters of", true},
        HostileCase{"an update file with its header only", ToolCommand::Kind::Update,
                    [](FileFolder &f) { return f.write("header.xupd", updateFile("MODEL=VESTRA7 &VERSION=1.3", {})); },
                    "holds no firmware behind its header", false},
        HostileCase{"random bytes as an update file", ToolCommand::Kind::Update,
                    [](FileFolder &f) { return f.write("noise.xupd", randomBytes(3000)); },
                    "holds no firmware behind its header", false},
        HostileCase{"an update to the version the adapter runs", ToolCommand::Kind::Update,
                    [](FileFolder &f) {
                        return f.write("same.xupd", updateFile("MODEL=VESTRA7 &VERSION=1.2.0", payloadBytes(600)));
                    },
                    "holds version 1.2.0 and the adapter runs version 1.2", true},
        HostileCase{"a downgrade", ToolCommand::Kind::Update,
                    [](FileFolder &f) {
                        return f.write("old.xupd", updateFile("MODEL=VESTRA7 &VERSION=1.1", payloadBytes(600)));
                    },
                    "holds version 1.1 and the adapter runs version 1.2", true}),
    [](const testing::TestParamInfo<HostileCase> &param) { return "case" + std::to_string(param.index); });

TEST_P(HostileInput, IsRefusedWithItsReasonAndNothingReachesTheAdapter)
{
    bus.plug(first);
    const DeviceRecord before = first->state().record;
    const QString file = GetParam().file(folder);
    EXPECT_EQ(run(command(GetParam().kind, file)), 1) << GetParam().what;
    EXPECT_TRUE(errText().contains(GetParam().reason)) << errText().toStdString();
    EXPECT_EQ(bytesOf(first->state().record), bytesOf(before));
    EXPECT_FALSE(wasSent(*first, CMD_WRITE_RECORD));
    EXPECT_FALSE(wasSent(*first, CMD_ENTER_BOOT));
    EXPECT_TRUE(backupsOf("V7-A").isEmpty() || GetParam().kind == ToolCommand::Kind::Update)
        << "refused before any adapter was reached";
    for (const QString &backup : backupsOf("V7-A"))
        EXPECT_TRUE(backup.isEmpty() || contentOf(backup) == bytesOf(before)) << "at most the first-seen backup";

    if (!GetParam().forceable)
        return;
    first->expectImage(payloadBytes(600));
    ToolCommand forced = command(GetParam().kind, file);
    forced.force = true;
    EXPECT_EQ(run(forced), 0) << errText().toStdString();
    EXPECT_TRUE(wasSent(*first, GetParam().kind == ToolCommand::Kind::Update ? CMD_FW_CHUNK : CMD_WRITE_RECORD));
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

TEST_F(ToolRunnerTest, EachAdapterTextsAreInTheCodePageRememberedForItUnlessOneIsNamed)
{
    if (QString::fromLatin1(ansiCodePageName(QLocale::system())) == "windows-1251")
        GTEST_SKIP() << "the desktop's language already reads Cyrillic";
    AnsiCodec cyrillic("windows-1251");
    DeviceRecord record = first->state().record;
    writeTextField(record.contact[0].name, QStringLiteral("Иван Петров"), cyrillic);
    first->setRecord(record);
    bus.plug(first);
    const QString exported = folder.path("exported.vcf");
    const QString russian = folder.write("russian.vcf", textBytes("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Пётр\r\n"
                                                                  "TEL:+7900\r\nEND:VCARD\r\n"));

    // Nothing remembered: the desktop's code page, which holds no Cyrillic.
    ASSERT_EQ(run(command(ToolCommand::Kind::ImportContacts, russian, "V7-A")), 1);
    EXPECT_TRUE(errText().contains("cannot hold these characters")) << errText().toStdString();

    rememberCodePage(QStringLiteral("V7-A"), QStringLiteral("windows-1251"));
    ASSERT_EQ(run(command(ToolCommand::Kind::ExportContacts, exported, "V7-A")), 0) << errText().toStdString();
    EXPECT_TRUE(QString::fromUtf8(contentOf(exported)).contains("FN:Иван Петров"));
    ASSERT_EQ(run(command(ToolCommand::Kind::ImportContacts, russian, "V7-A")), 0) << errText().toStdString();
    EXPECT_EQ(readTextField(first->state().record.contact[0].name, cyrillic), "Пётр");

    // A code page named on the command line goes before the remembered one.
    ToolCommand named = command(ToolCommand::Kind::ImportContacts, russian, "V7-A");
    named.codePage = QStringLiteral("windows-1252");
    EXPECT_EQ(run(named), 1);
}

TEST_F(ToolRunnerTest, AWriteTheAdapterNeverConfirmsFails)
{
    bus.plug(first);
    first->withholdReply(CMD_WRITE_RECORD);
    timeouts.answer = 1s;
    const QString file = folder.path("b.cfg");
    ASSERT_TRUE(saveConfigFile(file, initialAdapterRecord()));
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

TEST_F(ToolRunnerTest, AdaptersThatShareASerialNumberOrHaveNoneAreEachActedOnOnce)
{
    for (const char *serial : {"DUP", ""}) {
        SCOPED_TRACE(serial);
        EmulatedBus shared;
        const auto anna = adapterWith(serial, "Anna");
        const auto bert = adapterWith(serial, "Bert");
        shared.plug(anna);
        shared.plug(bert);
        const QString prefix = QString::fromLatin1(serial) + QLatin1Char('@');

        // Each adapter's own record, each in a file of its own, named by serial number and USB port.
        const QString set = folder.path(QStringLiteral("set%1.cfg").arg(serial));
        ASSERT_EQ(runOn(shared, command(ToolCommand::Kind::Backup, set, {}, true)), 0) << errText().toStdString();
        EXPECT_EQ(contentOf(folder.path(QStringLiteral("set%1-%2").arg(serial, prefix) + QStringLiteral("1-1.cfg"))),
                  bytesOf(anna->state().record));
        EXPECT_EQ(contentOf(folder.path(QStringLiteral("set%1-%2").arg(serial, prefix) + QStringLiteral("1-2.cfg"))),
                  bytesOf(bert->state().record));

        // Bert's phone book, picked by its port, goes into both adapters, Anna's included.
        const QString book = folder.path(QStringLiteral("book%1.csv").arg(serial));
        ToolCommand exportBert = command(ToolCommand::Kind::ExportContacts, book);
        exportBert.port = QStringLiteral("1-2");
        ASSERT_EQ(runOn(shared, exportBert), 0) << errText().toStdString();
        bert->setRecord(initialAdapterRecord());
        ASSERT_EQ(runOn(shared, command(ToolCommand::Kind::ImportContacts, book, {}, true)), 0)
            << errText().toStdString();
        EXPECT_EQ(readTextField(anna->state().record.contact[0].name), "Bert");
        EXPECT_EQ(readTextField(bert->state().record.contact[0].name), "Bert");
        EXPECT_TRUE(outText().contains(prefix + QStringLiteral("1-1: "))) << outText().toStdString();
        EXPECT_TRUE(outText().contains(prefix + QStringLiteral("1-2: "))) << outText().toStdString();
    }
}

TEST_F(ToolRunnerTest, ASerialNumberThatTwoAdaptersShareAsksForThePort)
{
    first = adapterWith("DUP", "Anna");
    second = adapterWith("DUP", "Bert");
    plugBoth();
    const QString file = folder.path("x.cfg");
    EXPECT_EQ(run(command(ToolCommand::Kind::Backup, file, "DUP")), 2);
    EXPECT_TRUE(errText().contains("--port: 1-1, 1-2")) << errText().toStdString();
    EXPECT_FALSE(QFile::exists(file));

    ToolCommand byPort = command(ToolCommand::Kind::Backup, file, "DUP");
    byPort.port = QStringLiteral("1-2");
    ASSERT_EQ(run(byPort), 0) << errText().toStdString();
    EXPECT_EQ(contentOf(file), bytesOf(second->state().record));
}

TEST_F(ToolRunnerTest, ListWritesControlCharactersOfDeviceStringsOut)
{
    first = adapterWith("V7\nV7-FORGED\tVESTRA7\t9.9\tnormal\x1b[2J", "Anna");
    bus.plug(first);
    ASSERT_EQ(run(command(ToolCommand::Kind::List)), 0) << errText().toStdString();
    EXPECT_EQ(outText().count(QLatin1Char('\n')), 1) << outText().toStdString();
    EXPECT_FALSE(outText().contains(QChar(0x1b)));
    EXPECT_TRUE(outText().startsWith(QStringLiteral("V7\\nV7-FORGED\\tVESTRA7\\t9.9\\tnormal\\x1b[2J\tVESTRA7\t")))
        << outText().toStdString();
}

// The characters of a command's output that a terminal would act on, besides the line and field
// breaks the command writes itself.
QString actedOnIn(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes)
        return QStringLiteral("bytes that are not UTF-8");
    QString found;
    for (const char32_t c : text.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (c != U'\n' && c != U'\t' &&
            (category == QChar::Other_Control || category == QChar::Other_Format || category == QChar::Separator_Line ||
             category == QChar::Separator_Paragraph))
            found += QStringLiteral("U+%1 ").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'));
    }
    return found;
}

// A device's or another program's texts that would forge lines or act on a terminal: an escape
// sequence that sets the title and clears the screen, a forged line, an 8-bit CSI and OSC, a
// bidirectional override and isolate.
const QString kHostileTexts[] = {
    QStringLiteral("\x1b]0;owned\x07\x1b[2J"),
    QStringLiteral("V7\nvestra7: forged"),
    QString(QChar(0x9b)) + QStringLiteral("2J") + QChar(0x9d) + QStringLiteral("0;c1") + QChar(0x9c),
    QString(QChar(0x202e)) + QStringLiteral("gnp.exe") + QChar(0x2069),
};

std::shared_ptr<EmulatedAdapter> hostileAdapter(const QString &hostile)
{
    EmulatedIdentity identity = EmulatedIdentity::withSerialNumber(QStringLiteral("V7-") + hostile);
    identity.product = QStringLiteral("VESTRA7 ") + hostile;
    auto adapter = std::make_shared<EmulatedAdapter>(identity);
    DeviceRecord record = initialAdapterRecord();
    // Under windows-1252 byte 0x1B is ESC and byte 0x9D the C1 control U+009D.
    const auto put = [](auto &field, std::string_view text) {
        std::memset(field, 0, sizeof field);
        std::memcpy(field, text.data(), text.size());
    };
    put(record.ops[0], "Op\x1b[2J\x9d");
    put(record.ussd_num[1], "*1\x9b"
                            "2J");
    put(record.usd_txt, "Balance\r\x1b[31m 3");
    record.contact[0] = makeParty("\x1b]0;x\x07", "+1");
    adapter->setRecord(record);
    return adapter;
}

TEST_F(ToolRunnerTest, OutsideTextsReachTheTerminalEscapedThroughEveryCommandAndJsonExactly)
{
    for (const QString &hostile : kHostileTexts) {
        EmulatedBus on;
        on.plug(hostileAdapter(hostile));
        const struct
        {
            ToolCommand command;
            qsizetype lines;
        } runs[] = {{command(ToolCommand::Kind::List), 1},
                    {command(ToolCommand::Kind::Status), 4},
                    {command(ToolCommand::Kind::Backup, folder.path("site.cfg"), {}, true), 1},
                    {command(ToolCommand::Kind::ExportContacts, folder.path("book.vcf"), {}, true), 1},
                    {command(ToolCommand::Kind::Restore, folder.path(QStringLiteral("none-") + hostile)), 0}};
        for (auto [toolCommand, lines] : runs) {
            toolCommand.codePage = QStringLiteral("windows-1252");
            runOn(on, toolCommand);
            const std::string said = (outText() + errText()).toStdString();
            EXPECT_EQ(actedOnIn(out.data()), QString()) << said;
            EXPECT_EQ(actedOnIn(err.data()), QString()) << said;
            EXPECT_EQ(out.data().count('\n'), lines) << said;
            EXPECT_LE(err.data().count('\n'), 1) << said;
        }
        ToolCommand status = command(ToolCommand::Kind::Status, {}, {}, false, true);
        status.codePage = QStringLiteral("windows-1252");
        ASSERT_EQ(runOn(on, status), 0) << errText().toStdString();
        const QJsonObject result = QJsonDocument::fromJson(out.data()).object().value("results")[0].toObject();
        EXPECT_EQ(result.value("product").toString(), QStringLiteral("VESTRA7 ") + hostile);
        EXPECT_EQ(result.value("lines")[0].toObject().value("operator").toString(),
                  QStringLiteral("Op\x1b[2J") + QChar(0x9d));
    }
}

TEST_F(ToolRunnerTest, TheHoldersCommandLineReachesTheTerminalEscapedAndJsonExactly)
{
    if (kUnderThreadSanitizer)
        GTEST_SKIP() << "ThreadSanitizer cannot start a child from a process that runs threads";
    bus.plug(first);
    // Any local user may start a holder under any name; its command line is not to be trusted.
    for (const QString &hostile : kHostileTexts) {
        LockHolderProcess holder(
            QStringLiteral(VESTRA7_LOCK_HOLDER),
            {QStringLiteral("bash"), QStringLiteral("-c"), QStringLiteral("exec -a \"$0\" \"$@\""), hostile});
        ASSERT_EQ(holder.start(bus.lockScope(), QStringLiteral("V7-A"), "until-done"), "held");
        const QString inUse = QStringLiteral("adapter in use by process %1 (").arg(holder.processId());
        EXPECT_EQ(run(command(ToolCommand::Kind::Backup, folder.path("x.cfg"))), 5);
        EXPECT_EQ(actedOnIn(err.data()), QString()) << errText().toStdString();
        EXPECT_EQ(err.data().count('\n'), 1) << errText().toStdString();
        EXPECT_TRUE(errText().contains(inUse)) << errText().toStdString();

        EXPECT_EQ(run(command(ToolCommand::Kind::Backup, folder.path("x.cfg"), {}, false, true)), 5);
        const QJsonObject result = QJsonDocument::fromJson(out.data()).object().value("results")[0].toObject();
        EXPECT_TRUE(result.value("message").toString().contains(inUse)) << outText().toStdString();
        EXPECT_EQ(holder.finish(), 0);
    }
}

TEST_F(ToolRunnerTest, OutsideTextsReachTheLogEscaped)
{
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { logged << message; });
    QLoggingCategory::setFilterRules(QStringLiteral("vestra7.*.debug=true"));
    for (const QString &hostile : kHostileTexts) {
        EmulatedBus on;
        on.plug(hostileAdapter(hostile));
        runOn(on, command(ToolCommand::Kind::Status));
    }
    QLoggingCategory::setFilterRules({});
    qInstallMessageHandler(previous);
    bool named = false;
    for (const QString &message : logged) {
        EXPECT_EQ(actedOnIn(message.toUtf8()), QString()) << message.toStdString();
        named = named || message.contains(QStringLiteral("owned"));
    }
    EXPECT_TRUE(named) << "the log names the adapter";
}

TEST_F(ToolRunnerTest, AnAdapterHeldByAnotherProgramIsExitFiveAndNoOtherIsTakenInItsPlace)
{
    plugBoth();
    Adapter holder([this] { return std::make_unique<EmulatedBackend>(bus); });
    holder.start();
    ASSERT_TRUE(waitUntil([&] { return holder.connected(); }));
    ASSERT_EQ(holder.identity().serial, "V7-A");

    const QString file = folder.path("x.cfg");
    EXPECT_EQ(run(command(ToolCommand::Kind::Backup, file)), 5);
    const QString inUse = QStringLiteral("V7-A: adapter in use by process %1 (app_tests").arg(::getpid());
    EXPECT_TRUE(errText().contains(inUse)) << errText().toStdString();
    EXPECT_FALSE(QFile::exists(file)) << "the default adapter is held: none other is used in its place";

    EXPECT_EQ(run(command(ToolCommand::Kind::Backup, folder.path("all.cfg"), {}, true, true)), 5);
    EXPECT_FALSE(QFile::exists(folder.path("all-V7-A.cfg")));
    EXPECT_EQ(contentOf(folder.path("all-V7-B.cfg")), bytesOf(second->state().record));
    const QJsonArray results = QJsonDocument::fromJson(out.data()).object().value("results").toArray();
    ASSERT_EQ(results.size(), 2) << outText().toStdString();
    EXPECT_EQ(results[0].toObject().value("exitCode").toInt(), 5);

    // Once the holder lets go, the adapter is free for the next program.
    ASSERT_TRUE(holder.shutdown());
    ASSERT_EQ(run(command(ToolCommand::Kind::Backup, file)), 0) << errText().toStdString();
    EXPECT_EQ(contentOf(file), bytesOf(first->state().record));
}
// A service holds the adapters until asked: a command that claims nothing must ask it for nothing,
// or a list run in a loop keeps the service off its adapters.
TEST_F(ToolRunnerTest, ListAsksNoHolderForAnAdapter)
{
    plugBoth();
    AdapterLock service(bus.lockScope(), AdapterLock::Hold::UntilAsked);
    ASSERT_TRUE(service.take(QStringLiteral("V7-A")));
    QSignalSpy asked(&service, &AdapterLock::handOverAsked);
    for (int run = 0; run < 3; ++run)
        ASSERT_EQ(this->run(command(ToolCommand::Kind::List)), 0) << errText().toStdString();
    EXPECT_TRUE(outText().contains("V7-A\t")) << outText().toStdString();
    drainPostedEvents();
    EXPECT_EQ(asked.count(), 0);

    // A command that claims the adapter does ask.
    AdapterLock command(bus.lockScope());
    EXPECT_FALSE(command.take(QStringLiteral("V7-A")));
    drainPostedEvents();
    EXPECT_EQ(asked.count(), 1);
}

TEST_F(ToolRunnerTest, EveryStepThatReplacesTheRecordIsBackedUpFirstAndTheResultNamesTheBackup)
{
    plugBoth();
    const QString config = folder.path("other.cfg");
    DeviceRecord other = initialAdapterRecord();
    other.contact[0] = makeParty("Restored", "+300");
    ASSERT_TRUE(saveConfigFile(config, other));
    const QString contacts =
        folder.write("book.vcf", textBytes("BEGIN:VCARD\r\nFN:Imported\r\nTEL:+400\r\nEND:VCARD\r\n"));
    const QString firmware = folder.write("fw.xupd", updateFile("MODEL=VESTRA7 &VERSION=1.3", payloadBytes(600)));
    second->expectImage(payloadBytes(600));
    const std::pair<ToolCommand::Kind, QString> steps[] = {{ToolCommand::Kind::Restore, config},
                                                           {ToolCommand::Kind::ImportContacts, contacts},
                                                           {ToolCommand::Kind::ResetSettings, {}},
                                                           {ToolCommand::Kind::Update, firmware}};
    for (const auto &[kind, file] : steps) {
        SCOPED_TRACE(toolCommandName(kind).toStdString());
        // Something the adapter holds that no earlier backup has.
        DeviceRecord held = second->state().record;
        held.contact[5] = makeParty(qPrintable(toolCommandName(kind)), "+5");
        second->setRecord(held);
        ASSERT_EQ(run(command(kind, file, "V7-B", false, true)), 0) << errText().toStdString();
        const QJsonObject result = QJsonDocument::fromJson(out.data()).object().value("results")[0].toObject();
        const QString backup = result.value("backup").toString();
        ASSERT_FALSE(backup.isEmpty()) << outText().toStdString();
        EXPECT_EQ(contentOf(backup), bytesOf(held)) << "the record just before the step";
        EXPECT_TRUE(backupsOf("V7-A").isEmpty()) << "the other adapter is not touched";
    }
}

TEST_F(ToolRunnerTest, ABackupThatCannotBeWrittenStopsTheCommandUnlessTheUserGoesOnWithout)
{
    bus.plug(first);
    backupRoot = folder.write("not-a-folder", {1}); // a file where the backups' folder should be
    const QString config = folder.path("other.cfg");
    DeviceRecord other = initialAdapterRecord();
    other.contact[0] = makeParty("Restored", "+300");
    ASSERT_TRUE(saveConfigFile(config, other));

    EXPECT_EQ(run(command(ToolCommand::Kind::Restore, config)), 1);
    EXPECT_TRUE(errText().contains("Cannot back up the adapter's record")) << errText().toStdString();
    EXPECT_FALSE(wasSent(*first, CMD_WRITE_RECORD));

    ToolCommand withoutBackup = command(ToolCommand::Kind::Restore, config);
    withoutBackup.noBackup = true;
    EXPECT_EQ(run(withoutBackup), 0) << errText().toStdString();
    EXPECT_TRUE(errText().contains("Going on without a backup")) << errText().toStdString();
    EXPECT_EQ(bytesOf(first->state().record), bytesOf(other));
}

TEST_F(ToolRunnerTest, ADryRunSaysWhatItWouldDoAndWritesNothing)
{
    bus.plug(first);
    const DeviceRecord before = first->state().record;
    const QString config = folder.path("other.cfg");
    ASSERT_TRUE(saveConfigFile(config, initialAdapterRecord()));
    const QString contacts =
        folder.write("book.vcf", textBytes("BEGIN:VCARD\r\nFN:Imported\r\nTEL:+400\r\nEND:VCARD\r\n"));
    const QString firmware = folder.write("fw.xupd", updateFile("MODEL=VESTRA7 &VERSION=1.3", payloadBytes(600)));
    const std::pair<ToolCommand::Kind, QString> commands[] = {
        {ToolCommand::Kind::Backup, folder.path("saved.cfg")},
        {ToolCommand::Kind::ExportContacts, folder.path("saved.vcf")},
        {ToolCommand::Kind::Restore, config},
        {ToolCommand::Kind::ImportContacts, contacts},
        {ToolCommand::Kind::ResetSettings, {}},
        {ToolCommand::Kind::Update, firmware}};
    for (const auto &[kind, file] : commands) {
        SCOPED_TRACE(toolCommandName(kind).toStdString());
        ToolCommand dry = command(kind, file);
        dry.dryRun = true;
        ASSERT_EQ(run(dry), 0) << errText().toStdString();
        EXPECT_TRUE(outText().contains("would ")) << outText().toStdString();
        if (kind != ToolCommand::Kind::Backup && kind != ToolCommand::Kind::ExportContacts) {
            EXPECT_TRUE(outText().contains(BackupStore(backupRoot).folderFor(QStringLiteral("V7-A"))))
                << outText().toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(folder.path("saved.cfg")));
    EXPECT_FALSE(QFile::exists(folder.path("saved.vcf")));
    EXPECT_FALSE(QFile::exists(backupRoot)) << "not even the backup of an adapter seen for the first time";
    EXPECT_FALSE(wasSent(*first, CMD_WRITE_RECORD));
    EXPECT_FALSE(wasSent(*first, CMD_ENTER_BOOT));
    EXPECT_EQ(bytesOf(first->state().record), bytesOf(before));
}

TEST_F(ToolRunnerTest, JsonAnswersAFileThatCannotBeReadToo)
{
    bus.plug(first);
    EXPECT_EQ(run(command(ToolCommand::Kind::Restore, "/nonexistent.cfg", {}, false, true)), 1);
    const QJsonObject answer = QJsonDocument::fromJson(out.data()).object();
    EXPECT_EQ(answer.value("command").toString(), "restore") << outText().toStdString();
    EXPECT_EQ(answer.value("exitCode").toInt(), 1);
    const QJsonObject result = answer.value("results")[0].toObject();
    EXPECT_EQ(result.value("file").toString(), "/nonexistent.cfg");
    EXPECT_EQ(result.value("exitCode").toInt(), 1);
    EXPECT_TRUE(result.value("message").toString().contains("/nonexistent.cfg"));
}

TEST_F(ToolRunnerTest, AnAdapterMetInItsBootLoaderIsUpdatedWithoutVersionCheckOrBackup)
{
    first->enterBootLoader();
    bus.plug(first);
    ASSERT_TRUE(first->waitFor([](const AdapterState &s) { return s.bootMode; }));
    // The version its firmware had before the interruption: nothing newer to offer than the same again.
    const QString file = folder.write("same.xupd", updateFile("MODEL=VESTRA7 &VERSION=1.2", payloadBytes(600)));
    first->expectImage(payloadBytes(600));
    ASSERT_EQ(run(command(ToolCommand::Kind::Update, file)), 0) << errText().toStdString();
    EXPECT_FALSE(first->state().bootMode);
    EXPECT_TRUE(outText().contains("updated with " + file)) << outText().toStdString();
}

TEST_F(ToolRunnerTest, StatusShowsEachLineAsTheAdapterReportsIt)
{
    plugBoth();
    DeviceRecord record = second->state().record;
    record.stat[0] = 4;
    record.sim_pres[1] = 0;
    record.rssi[0] = -101;
    record.rssi[1] = 5;
    std::memcpy(record.ops[1], "Op\nB", 5); // a device text must not break a line of the output
    std::memcpy(record.ussd_num[0], "*100#", 6);
    std::memcpy(record.usd_txt, "Balance 3", 10);
    second->setRecord(record);

    ASSERT_EQ(run(command(ToolCommand::Kind::Status, {}, "V7-B", false, true)), 0) << errText().toStdString();
    const QJsonObject result = QJsonDocument::fromJson(out.data()).object().value("results")[0].toObject();
    const QJsonArray lines = result.value("lines").toArray();
    ASSERT_EQ(lines.size(), 2) << outText().toStdString();
    const struct
    {
        const char *field;
        QJsonValue lineA;
        QJsonValue lineB;
    } expected[] = {{"state", 4, 1},     {"stateText", "in a call", "ready"}, {"sim", 1, 0},
                    {"signal", -101, 5}, {"operator", "Operator A", "Op\nB"}, {"ussdNumber", "*100#", ""}};
    for (const auto &[field, lineA, lineB] : expected) {
        EXPECT_EQ(lines[0].toObject().value(field), lineA) << field;
        EXPECT_EQ(lines[1].toObject().value(field), lineB) << field;
    }
    EXPECT_EQ(result.value("ussdText").toString(), "Balance 3");

    ASSERT_EQ(run(command(ToolCommand::Kind::Status, {}, "V7-B")), 0) << errText().toStdString();
    EXPECT_TRUE(outText().contains("line B: ready (1), SIM 0, signal 5, operator \"Op\\nB\""))
        << outText().toStdString();
    EXPECT_EQ(outText().count(QLatin1Char('\n')), 4) << outText().toStdString();
}

TEST_F(ToolRunnerTest, StatusWatchPrintsEachChangeAsAJsonLineAndEndsWellOnCtrlC)
{
    bus.plug(first);
    ToolCommand watch = command(ToolCommand::Kind::Status, {}, {}, false, true);
    watch.watch = true;
    // As the user at the terminal: the signal moves once the first line is out, Ctrl+C once the change is.
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        const int printed = static_cast<int>(out.data().count('\n'));
        if (printed == 1 && first->state().record.rssi[0] != -90)
            first->setSignalLevel(0, -90);
        if (printed == 2)
            std::raise(SIGINT);
    });
    user.start(20);
    ASSERT_EQ(run(watch), 0) << errText().toStdString();
    const QList<QByteArray> printed = out.data().trimmed().split('\n');
    ASSERT_EQ(printed.size(), 2) << outText().toStdString();
    const auto signalOf = [](const QByteArray &line) {
        return QJsonDocument::fromJson(line).object().value("lines")[0].toObject().value("signal").toInt();
    };
    EXPECT_EQ(signalOf(printed[0]), -63);
    EXPECT_EQ(signalOf(printed[1]), -90);
}

TEST_F(ToolRunnerTest, StatusWatchWhoseAdapterGoesEndsWithAnErrorThatSaysSo)
{
    bus.plug(first);
    ToolCommand watch = command(ToolCommand::Kind::Status);
    watch.watch = true;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (out.data().count('\n') == 1) {
            user.stop();
            bus.unplug(*first);
        }
    });
    user.start(20);
    EXPECT_EQ(run(watch), 1);
    EXPECT_EQ(out.data().count('\n'), 1) << outText().toStdString();
    EXPECT_EQ(errText(), QStringLiteral("vestra7: V7-A: The adapter is no longer connected.\n"));
}

} // namespace

} // namespace vestra7
