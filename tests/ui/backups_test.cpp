// SPDX-License-Identifier: GPL-3.0-or-later
// The automatic backups as the main window takes them, the backups window, and the import preview.
#include "main_window_fixture.h"

#include "model/ansi_codec.h"
#include "model/backup_store.h"
#include "model/byte_span.h"
#include "support/box_answerer.h"
#include "support/record_builders.h"
#include "ui/backup_keeper.h"
#include "ui/backups_dialog.h"
#include "ui/import_preview_dialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <deque>

namespace vestra7 {

namespace {

const AdapterIdentity kAdapter{QStringLiteral("VESTRA7"), QStringLiteral("V7-1"), QStringLiteral("1.2")};

QByteArray bytesOf(const DeviceRecord &record)
{
    return toByteArray(record.bytes());
}

DeviceRecord storedIn(const BackupInfo &backup)
{
    const Result<DeviceRecord> record = readBackup(backup.path);
    EXPECT_TRUE(record) << backup.path.toStdString();
    return record ? *record : DeviceRecord{};
}

// A record that differs from every other one the tests make in its first contact's name.
DeviceRecord recordNamed(const char *name)
{
    DeviceRecord record = readyRecord();
    record.contact[0] = makeParty(name, "+100");
    record.contact[1] = makeParty("Second", "+200");
    record.call_list[0] = makeParty("Caller", "+300");
    return record;
}

class BackupsTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(root.isValid());
        useRoot(root.path());
    }

    // A keeper over `path`, which the window uses from now on, with the adapter found and connected.
    void useRoot(const QString &path)
    {
        keeper.reset();
        policy = std::make_unique<BackupPolicy>(adapter, path);
        keeper = std::make_unique<BackupKeeper>(*policy);
        window.setBackupKeeper(keeper.get());
        // Answers in turn; once they run out, every further question is answered "OK".
        window.setConfirmer([this](QWidget *, const QString &question) {
            questions << question;
            if (answers.empty())
                return true;
            const bool answer = answers.front();
            answers.pop_front();
            return answer;
        });
        adapter.setIdentity(kAdapter);
        emit adapter.identityChanged(kAdapter);
        emit adapter.connectionChanged(true);
    }

    std::vector<BackupInfo> backups() const { return policy->store().backups(kAdapter.serial); }

    QTemporaryDir root;
    std::unique_ptr<BackupPolicy> policy;
    std::unique_ptr<BackupKeeper> keeper;
    std::deque<bool> answers;
};

TEST_F(BackupsTest, EachAdapterIsBackedUpOnceASessionWithTheFirstRecordItSends)
{
    adapter.setRecord(recordNamed("Before"));
    emit adapter.connectionChanged(false); // a record while no adapter in its firmware is claimed is none of its own
    emit adapter.recordChanged();
    EXPECT_TRUE(backups().empty());

    emit adapter.identityChanged(kAdapter); // found again: the record announced before was not its own
    emit adapter.connectionChanged(true);
    receive(recordNamed("First"));
    receive(recordNamed("Later"));
    emit adapter.connectionChanged(false);
    emit adapter.connectionChanged(true);
    receive(recordNamed("Again"));
    ASSERT_EQ(backups().size(), 1u);
    EXPECT_EQ(backups()[0].step, BackupStep::FirstSeen);
    EXPECT_EQ(bytesOf(storedIn(backups()[0])), bytesOf(recordNamed("First")));

    const AdapterIdentity other{kAdapter.product, QStringLiteral("V7-2"), kAdapter.version};
    emit adapter.identityChanged(other);
    receive(recordNamed("Other"));
    const std::vector<BackupInfo> others = policy->store().backups(other.serial);
    ASSERT_EQ(others.size(), 1u);
    EXPECT_EQ(bytesOf(storedIn(others[0])), bytesOf(recordNamed("Other")));
}

TEST_F(BackupsTest, EveryStepThatReplacesTheRecordBacksUpWhatTheAdapterHeldJustBefore)
{
    QTemporaryDir files;
    const QString config = files.filePath(QStringLiteral("saved.cfg"));
    {
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytesOf(recordNamed("From file")));
    }
    window.openFileDialog().setChooser([&](QWidget *, const FileDialog::Offer &) { return std::optional(config); });
    const auto selectRow = [this](const char *list, int row) {
        child<QTableWidget>(list)->selectRow(row);
    };
    const auto press = [this](const char *list) {
        QTest::keyClick(child<QTableWidget>(list), Qt::Key_Delete);
    };
    const struct
    {
        BackupStep step;
        std::function<void()> prepare;
        std::function<void()> act;
        Change change;
    } steps[] = {
        {BackupStep::SetToDefault, [] {}, [&] { child<QAction>("setToDefaultAction")->trigger(); },
         change::ResetToDefaults{}},
        {BackupStep::DeleteContact, [&] { selectRow("phoneBookList", 1); }, [&] { press("phoneBookList"); },
         change::DeleteContact{1}},
        {BackupStep::DeleteCallListEntry, [&] { selectRow("callList", 0); }, [&] { press("callList"); },
         change::DeleteCall{0}},
        {BackupStep::LoadFromFile, [] {}, [&] { child<QAction>("loadFromFileAction")->trigger(); },
         change::LoadConfiguration{bytesOf(recordNamed("From file"))}},
        {BackupStep::ReplaceContact,
         [&] {
             selectRow("phoneBookList", 1);
             child<QLineEdit>("partyNameEdit")->setText("New Person");
             child<QLineEdit>("partyNumberEdit")->setText("+79001234567");
         },
         [&] { QTest::keyClick(child<QLineEdit>("partyNameEdit"), Qt::Key_Return); },
         change::StoreContact{1, {"New Person", "+79001234567"}}},
    };
    // Seen first with another record, so that no step's backup is the first one's.
    receive(recordNamed("First"));
    int round = 0;
    for (const auto &step : steps) {
        const DeviceRecord held = recordNamed(("Held " + std::to_string(++round)).c_str());
        receive(held);
        step.prepare();
        adapter.takeChanges();
        step.act();
        ASSERT_FALSE(backups().empty());
        EXPECT_EQ(backups()[0].step, step.step) << round;
        EXPECT_EQ(bytesOf(storedIn(backups()[0])), bytesOf(held)) << round;
        EXPECT_EQ(adapter.takeChanges(), Changes{step.change}) << round;
    }
}

TEST_F(BackupsTest, ABackupThatCannotBeWrittenAsksAndTheStepWaitsForTheUsersWord)
{
    // A file where the folder should be: no backup can go there, whoever runs the tests.
    const QString blocked = root.filePath(QStringLiteral("not-a-folder"));
    {
        QFile file(blocked);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    useRoot(blocked);
    receive(recordNamed("Held"));
    adapter.takeChanges();

    answers = {true, false}; // "Set to default?" yes; without a backup, no
    child<QAction>("setToDefaultAction")->trigger();
    ASSERT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions[0].startsWith("Set to default?")) << questions[0].toStdString();
    EXPECT_TRUE(questions[1].contains("Cannot back up")) << questions[1].toStdString();
    EXPECT_TRUE(questions[1].contains("Go on without a backup?")) << questions[1].toStdString();
    EXPECT_EQ(adapter.takeChanges(), Changes{});

    answers = {true, true};
    child<QAction>("setToDefaultAction")->trigger();
    EXPECT_EQ(adapter.takeChanges(), Changes{change::ResetToDefaults{}});
}

TEST_F(BackupsTest, WithoutADataFolderNothingIsWrittenWhereTheProgramStartedAndTheStepAsks)
{
    const QString started = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root.path()));
    useRoot(QString());
    receive(recordNamed("Held"));
    answers = {false};
    EXPECT_FALSE(keeper->backUpBefore(BackupStep::SetToDefault, &window));
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("No folder is known")) << questions[0].toStdString();
    EXPECT_TRUE(QDir(root.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    QDir::setCurrent(started);
}

TEST_F(BackupsTest, AnotherAdapterFoundWithoutItsRecordIsNotBackedUpAsTheLastOnesRecord)
{
    receive(recordNamed("First adapter"));
    // Another adapter, met in its boot loader: it sends no record.
    emit adapter.connectionChanged(false);
    emit adapter.identityChanged({QStringLiteral("VESTRA7 (boot)"), QStringLiteral("V7-2"), QStringLiteral("0.1")});
    answers = {false};
    EXPECT_FALSE(keeper->backUpBefore(BackupStep::ResetSettings, &window));
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("has not read this adapter's record")) << questions[0].toStdString();
    EXPECT_TRUE(policy->store().backups(QStringLiteral("V7-2")).empty());
    EXPECT_EQ(backups().size(), 1u) << "the first adapter's own backup only";
}

// Adapters that share a serial number, or have none, told apart by their USB ports.
TEST_F(BackupsTest, TwinsAreEachBackedUpWhenFirstSeenIntoAPlaceOfTheirOwn)
{
    for (const QString &serial : {QStringLiteral("DUP"), QString()}) {
        SCOPED_TRACE(serial.toStdString());
        for (const char *port : {"1-1", "1-2"}) {
            const AdapterIdentity twin{kAdapter.product, serial, kAdapter.version, serial + "@" + port, port};
            emit adapter.connectionChanged(false);
            emit adapter.identityChanged(twin);
            emit adapter.connectionChanged(true);
            receive(recordNamed(port));
        }
        for (const char *port : {"1-1", "1-2"}) {
            const std::vector<BackupInfo> own = policy->store().backups(StoreIdentity(serial, port));
            ASSERT_EQ(own.size(), 1u) << port;
            EXPECT_EQ(bytesOf(storedIn(own[0])), bytesOf(recordNamed(port)));
        }
        EXPECT_TRUE(policy->store().backups(StoreIdentity(serial)).empty());
    }
}

// A command that hands an adapter to a policy of its own (update --all) hands over which adapters
// were backed up when first seen: the record read again, a signal level changed, is no first sight.
TEST_F(BackupsTest, APolicyGivenTheAdaptersSeenBacksUpOnlyThoseNotSeenYet)
{
    receive(recordNamed("First"));
    BackupPolicy lane(adapter, root.path());
    lane.setSeenAdapters(policy->seenAdapters());
    emit adapter.identityChanged(kAdapter);
    emit adapter.connectionChanged(true);
    DeviceRecord again = recordNamed("First");
    again.rssi[0] = static_cast<std::int8_t>(again.rssi[0] + 1);
    receive(again);
    EXPECT_EQ(backups().size(), 1u);

    const AdapterIdentity other{kAdapter.product, QStringLiteral("V7-2"), kAdapter.version};
    emit adapter.identityChanged(other);
    receive(recordNamed("Other"));
    EXPECT_EQ(lane.store().backups(other.serial).size(), 1u) << "an adapter not seen before is backed up";
}

class BackupsWindowTest : public BackupsTest
{
protected:
    void SetUp() override
    {
        BackupsTest::SetUp();
        // Taken in this order: when first seen, then before deleting the first contact of another record.
        receive(oldest);
        receive(middle);
        ASSERT_TRUE(keeper->backUpBefore(BackupStep::DeleteContact, &window));
        receive(present);
        questions.clear();
        dialog = std::make_unique<BackupsDialog>(*keeper, adapter, &window);
        list = dialog->findChild<QTreeWidget *>(QStringLiteral("backupList"));
        restore = dialog->findChild<QPushButton *>(QStringLiteral("restoreButton"));
    }

    QTreeWidgetItem *backupRow(int index) { return list->topLevelItem(0)->child(index); }
    QStringList differences()
    {
        QStringList rows;
        auto *differenceList = dialog->findChild<QTreeWidget *>(QStringLiteral("differenceList"));
        for (int i = 0; i < differenceList->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = differenceList->topLevelItem(i);
            rows << item->text(0) + " | " + item->text(1) + " | " + item->text(2);
        }
        return rows;
    }

    DeviceRecord oldest = recordNamed("Oldest");
    DeviceRecord middle = [] {
        DeviceRecord record = recordNamed("Middle");
        record.contact[2] = makeParty("Third", "+333");
        return record;
    }();
    DeviceRecord present = [] {
        DeviceRecord record = recordNamed("Present");
        record.mic_gain = 8;
        return record;
    }();
    std::unique_ptr<BackupsDialog> dialog;
    QTreeWidget *list = nullptr;
    QPushButton *restore = nullptr;
};

TEST_F(BackupsWindowTest, ListsEachAdaptersBackupsNewestFirstWithTheStepAndThePhoneBookSize)
{
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "Adapter V7-1 (connected)");
    ASSERT_EQ(list->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(backupRow(0)->text(1), "Before deleting a phone-book entry");
    EXPECT_EQ(backupRow(0)->text(2), "3");
    EXPECT_EQ(backupRow(1)->text(1), "First seen in this session");
    EXPECT_EQ(backupRow(1)->text(2), "2");
    EXPECT_EQ(backupRow(0)->text(0), QLocale().toString(backups()[0].time.toLocalTime(), QLocale::ShortFormat));
}

TEST_F(BackupsWindowTest, ShowsWhatTheSelectedBackupHoldsThatTheAdapterDoesNot)
{
    list->setCurrentItem(backupRow(0));
    EXPECT_EQ(differences(),
              (QStringList{"Phone-book entry 1 | Middle, +100 | Present, +100",
                           "Phone-book entry 3 | Third, +333 | (empty)", "MIC gain | +7.5 dB | +12.0 dB"}));

    receive(middle); // the adapter now holds what the backup holds
    EXPECT_TRUE(differences().isEmpty());

    list->setCurrentItem(list->topLevelItem(0));
    EXPECT_TRUE(differences().isEmpty());
    EXPECT_FALSE(restore->isEnabled()) << "an adapter's row is no backup";
}

TEST_F(BackupsWindowTest, RestoresTheSelectedBackupsBytesAfterOneQuestionAndABackupOfThePresentRecord)
{
    list->setCurrentItem(backupRow(1));
    answers = {false};
    restore->click();
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(adapter.takeChanges(), Changes{});
    EXPECT_EQ(backups().size(), 2u);

    restore->click();
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(adapter.takeChanges(), Changes{change::LoadConfiguration{bytesOf(oldest)}});
    ASSERT_EQ(backups().size(), 3u);
    EXPECT_EQ(backups()[0].step, BackupStep::Restore);
    EXPECT_EQ(bytesOf(storedIn(backups()[0])), bytesOf(present));
    EXPECT_EQ(list->topLevelItem(0)->childCount(), 3) << "the new backup is listed at once";

    emit adapter.connectionChanged(false);
    EXPECT_FALSE(restore->isEnabled()) << "no adapter to restore to";
}

TEST_F(BackupsWindowTest, ABackupOfAnotherAdapterIsRestoredOnlyAfterAQuestionNamingBothWithCancelTheDefault)
{
    // The same adapter's backup: the question names it, and "OK" stays the default.
    keeper->setConfirmer(nullptr);
    list->setCurrentItem(backupRow(1));
    {
        const BoxAnswerer cancel(QStringLiteral("Cancel"));
        restore->click();
        ASSERT_TRUE(cancel.seen);
        EXPECT_TRUE(cancel.seen->text.contains("to adapter V7-1?")) << cancel.seen->text.toStdString();
        EXPECT_EQ(cancel.seen->defaultButton, "OK");
    }

    const AdapterIdentity other{kAdapter.product, QStringLiteral("V7-2"), kAdapter.version};
    adapter.setIdentity(other);
    emit adapter.identityChanged(other);
    emit adapter.connectionChanged(true);
    receive(recordNamed("Other"));
    const auto adapterRow = [this](const QString &title) {
        return list->findItems(title, Qt::MatchExactly).value(0);
    };
    ASSERT_NE(adapterRow("Adapter V7-1"), nullptr);
    list->setCurrentItem(adapterRow("Adapter V7-1")->child(0));
    const auto *caption = dialog->findChild<QLabel *>(QStringLiteral("differenceCaption"));
    EXPECT_TRUE(caption->text().contains("adapter V7-2")) << caption->text().toStdString();

    const BoxAnswerer cancel(QStringLiteral("Cancel"));
    restore->click();
    ASSERT_TRUE(cancel.seen);
    EXPECT_TRUE(cancel.seen->text.contains("from adapter V7-1 to another adapter, V7-2?"))
        << cancel.seen->text.toStdString();
    EXPECT_EQ(cancel.seen->defaultButton, "Cancel");
    EXPECT_EQ(adapter.takeChanges(), Changes{});
}

// Backups kept under the serial number alone, before a twin with the same serial number joined,
// may be of either: they stay listed as such, and a restore asks naming both adapters.
TEST_F(BackupsWindowTest, ABackupKeptBySerialAloneIsMarkedAsOfEitherTwinAndItsRestoreAsksNamingBoth)
{
    const AdapterIdentity twin{kAdapter.product, kAdapter.serial, kAdapter.version, "V7-1@1-2", "1-2"};
    emit adapter.connectionChanged(false);
    emit adapter.identityChanged(twin);
    emit adapter.connectionChanged(true);
    receive(recordNamed("Twin"));
    const auto adapterRow = [this](const QString &title) {
        return list->findItems(title, Qt::MatchExactly).value(0);
    };
    ASSERT_NE(adapterRow("Adapter V7-1 in USB port 1-2 (connected)"), nullptr);
    QTreeWidgetItem *old =
        adapterRow("Adapter V7-1 (kept by serial number alone: possibly of either adapter with this serial number)");
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->childCount(), 2) << "the backups kept before stay listed";

    keeper->setConfirmer(nullptr);
    list->setCurrentItem(old->child(0));
    const BoxAnswerer cancel(QStringLiteral("Cancel"));
    restore->click();
    ASSERT_TRUE(cancel.seen);
    EXPECT_TRUE(cancel.seen->text.contains("from adapter V7-1 to adapter V7-1 in USB port 1-2?"))
        << cancel.seen->text.toStdString();
    EXPECT_TRUE(cancel.seen->text.contains("may be of another adapter")) << cancel.seen->text.toStdString();
    EXPECT_EQ(cancel.seen->defaultButton, "Cancel");
    EXPECT_EQ(adapter.takeChanges(), Changes{});
}

TEST_F(BackupsTest, AnImportRightAfterTheFirstSeenBackupIsNotedAsItsStep)
{
    QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("people.csv"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Name,Number\nAnna,'+4930556677\n");
    }
    window.importContactsDialog().setChooser([&](QWidget *, const FileDialog::Offer &) { return std::optional(path); });
    receive(recordNamed("First"));
    QTimer::singleShot(0, &window, [] {
        auto *preview = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        preview->accept();
    });
    child<QAction>("importContactsAction")->trigger();
    const std::vector<Party> imported{{"Anna", "+4930556677"}};
    EXPECT_EQ(adapter.takeChanges(), Changes{change::ImportContacts{imported}});
    ASSERT_EQ(backups().size(), 1u);
    EXPECT_EQ(backups()[0].steps, (std::vector{BackupStep::FirstSeen, BackupStep::ImportContacts}));
}

TEST(ImportPreview, MarksTheNamesAndNumbersTheAdapterCannotHoldAsTheFileHasThem)
{
    AnsiCodec cyrillic("windows-1251");
    const std::vector<Party> parties{{"Anna", "+4930556677"},
                                     {"A name longer than sixteen bytes", "+1"},
                                     {QStringLiteral("Ли \u00DC"), "+12345678901234567890"},
                                     {QStringLiteral("Борис"), "+7903"}};
    ImportPreviewDialog preview(parties, 2, cyrillic);
    auto *table = preview.findChild<QTableWidget *>(QStringLiteral("entryTable"));
    ASSERT_EQ(table->rowCount(), kContactCount);
    const auto row = [table](int index) {
        return QStringList{table->item(index, 0)->text(), table->item(index, 1)->text(), table->item(index, 2)->text()};
    };
    EXPECT_EQ(row(0), (QStringList{"Anna", "+4930556677", ""}));
    EXPECT_EQ(row(1), (QStringList{"A name longer th", "+1", "name cut to 16 bytes"}));
    EXPECT_EQ(row(2), (QStringList{QStringLiteral("Ли ?"), "+123456789012345",
                                   "name loses characters the adapter cannot show; number cut to 16 bytes"}));
    EXPECT_EQ(row(3), (QStringList{QStringLiteral("Борис"), "+7903", ""})) << "in the code page, as it is";
    EXPECT_TRUE(table->item(1, 0)->font().bold());
    EXPECT_FALSE(table->item(1, 1)->font().bold());
    EXPECT_FALSE(table->item(0, 0)->font().bold());
    for (int i = 4; i < kContactCount; ++i)
        EXPECT_EQ(row(i), (QStringList{"", "", ""})) << i;
    const QString summary = preview.findChild<QLabel *>(QStringLiteral("summaryLabel"))->text();
    EXPECT_TRUE(summary.contains("Contacts stored: 4")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("Left out, beyond the phone book's 32 entries: 2")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("marked below: 2")) << summary.toStdString();
}

TEST_F(BackupsTest, AnImportIsStoredOnlyOnceThePreviewIsAcceptedAndAfterABackup)
{
    QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("people.csv"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Name,Number\nAnna,+4930556677\nBoris,+79035554411\n");
    }
    window.importContactsDialog().setChooser([&](QWidget *, const FileDialog::Offer &) { return std::optional(path); });
    receive(recordNamed("First"));
    receive(recordNamed("Held"));
    adapter.takeChanges();
    const std::size_t before = backups().size();

    for (const bool accept : {false, true}) {
        QTimer::singleShot(0, &window, [accept] {
            auto *preview = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(preview, nullptr);
            accept ? preview->accept() : preview->reject();
        });
        child<QAction>("importContactsAction")->trigger();
    }
    const std::vector<Party> imported{{"Anna", "+4930556677"}, {"Boris", "+79035554411"}};
    EXPECT_EQ(adapter.takeChanges(), Changes{change::ImportContacts{imported}});
    ASSERT_EQ(backups().size(), before + 1);
    EXPECT_EQ(backups()[0].step, BackupStep::ImportContacts);
}

} // namespace

} // namespace vestra7
