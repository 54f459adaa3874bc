// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program keeping backups: before each step that replaces the adapter's record, and a
// restore that writes a backup's exact bytes; and the questions that say what a step will do.
#include "program_fixture.h"

#include "link/commands.h"
#include "model/backup_store.h"
#include "model/byte_span.h"
#include "sim/demo_adapter.h"
#include "support/gui_wait.h"
#include "ui/backups_dialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstring>

namespace vestra7 {

namespace {

QByteArray bytesOf(const DeviceRecord &record)
{
    return toByteArray(record.bytes());
}

QByteArray bytesOf(const std::vector<std::uint8_t> &bytes)
{
    return toByteArray(bytes);
}

class Backups : public ProgramOnHidraw
{
protected:
    void SetUp() override
    {
        ProgramOnHidraw::SetUp();
        if (IsSkipped())
            return;
        // The program's own place for its backups, which the tests' entry point keeps out of any home.
        root = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        ASSERT_FALSE(root.startsWith(QDir::homePath() + QLatin1Char('/'))) << root.toStdString();
        ASSERT_TRUE(QDir(root).removeRecursively());
    }

    std::vector<BackupInfo> backups() const { return BackupStore(root).backups(adapter->identity().serialNumber); }
    QByteArray newestBackup() const
    {
        const std::vector<BackupInfo> all = backups();
        const Result<DeviceRecord> record = all.empty() ? Error{} : readBackup(all.front().path);
        return record ? bytesOf(*record) : QByteArray();
    }

    int recordWrites() const
    {
        const AdapterState state = adapter->state();
        return static_cast<int>(std::count_if(state.received.begin(), state.received.end(),
                                              [](const ReceivedMessage &m) { return m.cmd == CMD_WRITE_RECORD; }));
    }

    QString root;
};

DeviceRecord livedIn()
{
    DeviceRecord record = initialAdapterRecord();
    record.contact[0] = makeParty("Anna", "+4930556677");
    record.contact[1] = makeParty("Boris", "+79035554411");
    record.call_list[0] = makeParty("Warehouse", "+74957778899");
    record.mic_gain = 7;
    return record;
}

TEST_F(Backups, EachStepThatReplacesTheRecordIsPrecededByABackupAndARestoreWritesItsExactBytes)
{
    startActive(livedIn());
    ASSERT_TRUE(waitUntil([this] { return !backups().empty(); }));
    const std::vector<BackupInfo> first = backups();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].step, BackupStep::FirstSeen);
    const QByteArray seen = newestBackup();
    EXPECT_EQ(seen, bytesOf(link().record()));

    // A call-list entry deleted: the record is backed up as the adapter held it (here the same bytes
    // as when first seen, so the newest backup already holds them).
    auto *calls = child<QTableWidget>("callList");
    QTest::mouseClick(calls->viewport(), Qt::LeftButton, {}, calls->visualItemRect(calls->item(0, 0)).center());
    const QByteArray beforeDelete = bytesOf(link().record());
    QTest::keyClick(calls, Qt::Key_Delete);
    EXPECT_EQ(newestBackup(), beforeDelete);
    ASSERT_TRUE(waitForAdapter([](const AdapterState &s) { return s.record.call_list[0].name[0] == 0; }));
    ASSERT_TRUE(waitForRefreshes(refreshes + 2));

    // "Set to default": a new backup, of the record with the deletion, before the reset goes out.
    const QByteArray beforeReset = bytesOf(link().record());
    child<QAction>("setToDefaultAction")->trigger();
    EXPECT_EQ(backups().front().step, BackupStep::SetToDefault);
    EXPECT_EQ(newestBackup(), beforeReset);
    ASSERT_TRUE(waitForAdapter([](const AdapterState &s) { return s.record.contact[0].name[0] == 0; }));
    ASSERT_TRUE(waitForRefreshes(refreshes + 2));

    // The first backup restored from the backups window, with the present record backed up first.
    const QByteArray beforeRestore = bytesOf(link().record());
    const int writesBefore = recordWrites();
    bool restored = false;
    QTimer::singleShot(0, &window(), [&] {
        auto *dialog = qobject_cast<BackupsDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("backupList"));
        QTreeWidgetItem *adapterRow = list->topLevelItem(0);
        ASSERT_NE(adapterRow, nullptr);
        list->setCurrentItem(adapterRow->child(adapterRow->childCount() - 1)); // the oldest
        dialog->findChild<QPushButton *>(QStringLiteral("restoreButton"))->click();
        restored = true;
        dialog->accept();
    });
    child<QAction>("backupsAction")->trigger();
    ASSERT_TRUE(restored);
    EXPECT_EQ(backups().front().step, BackupStep::Restore);
    EXPECT_EQ(newestBackup(), beforeRestore);
    ASSERT_TRUE(waitForAdapter([&](const AdapterState &s) {
        for (auto m = s.received.rbegin(); m != s.received.rend(); ++m)
            if (m->cmd == CMD_WRITE_RECORD)
                return recordWrites() > writesBefore && bytesOf(m->payload) == seen;
        return false;
    }));
}

TEST_F(Backups, ATextFileLoadedAsAConfigurationAsksFirstAndNamesItsSize)
{
    startConnected();
    const QString text = folder.filePath(QStringLiteral("notes.cfg"));
    ASSERT_TRUE(writeFile(text, {'s', 'h', 'o', 'p', 'p', 'i', 'n', 'g', '\n'}));
    window().openFileDialog().setChooser([&](QWidget *, const FileDialog::Offer &) { return std::optional(text); });
    const DeviceRecord before = adapter->state().record;
    const int writesBefore = recordWrites();

    confirmAnswer = false;
    child<QAction>("loadFromFileAction")->trigger();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("its size is 9 bytes")) << questions[0].toStdString();
    // Polls come and go; no record is written and the adapter keeps its own.
    ASSERT_TRUE(waitForRefreshes(refreshes + 3));
    EXPECT_EQ(recordWrites(), writesBefore);
    EXPECT_EQ(bytesOf(adapter->state().record), bytesOf(before));
}

TEST_F(Backups, TheFirmwareConfirmationNamesTheFilesVersionAndTheAdaptersAndCancelSendsNothing)
{
    const QString updateFile = folder.filePath(QStringLiteral("VESTRA7-1.3.0.xupd"));
    ASSERT_TRUE(writeFile(updateFile, demoUpdateFile(4 * 1024)));
    prompts.files.push_back(updateFile);
    startConnected();
    // The update window's questions go to its prompts' recorder.
    prompts.confirmAnswer = false;
    whileUpdateWindowOpen([&] {
        ASSERT_TRUE(waitUntil([this] { return updateControls().selectFileButton->isEnabled(); }));
        updateControls().selectFileButton->click();
        EXPECT_FALSE(app->adapter().updater().isSending());
        EXPECT_TRUE(updateControls().selectFileButton->isEnabled());
    });
    ASSERT_EQ(prompts.questions.size(), 1);
    const QString question = prompts.questions[0];
    EXPECT_TRUE(question.contains("File: VESTRA7, version 1.3.0")) << question.toStdString();
    EXPECT_TRUE(question.contains("Adapter: version 1.2")) << question.toStdString();
    EXPECT_TRUE(question.contains("newer version")) << question.toStdString();
    EXPECT_TRUE(adapter->state().image.empty());
}

} // namespace

} // namespace vestra7
