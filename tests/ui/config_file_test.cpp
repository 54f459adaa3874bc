// SPDX-License-Identifier: GPL-3.0-or-later
// "Save to file" and "Load from file": the dialogs, the extension rule, short files, and failures.
#include "main_window_fixture.h"

#include "model/byte_span.h"
#include "support/record_builders.h"

#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

namespace vestra7 {

namespace {

class ConfigFileTest : public MainWindowTest
{
protected:
    // Answers the dialog's next showings with `chosen` (nothing: cancelled), recording what it offered.
    void choose(FileDialog &dialog, std::optional<QString> chosen)
    {
        dialog.setChooser([this, chosen](QWidget *parent, const FileDialog::Offer &offer) {
            EXPECT_EQ(parent, &window);
            offers.push_back(offer);
            return chosen;
        });
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QByteArray contents(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir dir;
    std::vector<FileDialog::Offer> offers;
};

QByteArray bytesOf(const DeviceRecord &record)
{
    return toByteArray(record.bytes());
}

DeviceRecord patterned()
{
    DeviceRecord record;
    auto bytes = record.bytes();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    record.act_line = 1;
    record.resp[0] = 1; // a call request pending when saved
    record.resp[1] = 0;
    return record;
}

TEST_F(ConfigFileTest, SavedRecordLoadsBackWholeIntoTheAdapter)
{
    const DeviceRecord saved = patterned();
    receive(saved);
    choose(window.saveFileDialog(), path("backup"));
    child<QAction>("saveToFileAction")->trigger();
    ASSERT_EQ(offers.size(), 1u);
    EXPECT_EQ(offers[0].mode, FileDialog::Mode::Save);
    EXPECT_EQ(offers[0].fileName, "config.cfg");
    EXPECT_EQ(offers[0].filter, "Config File (*.cfg)");
    EXPECT_EQ(contents("backup.cfg"), bytesOf(saved));
    EXPECT_EQ(adapter.takeChanges(), Changes{});

    choose(window.saveFileDialog(), std::nullopt);
    child<QAction>("saveToFileAction")->trigger();
    EXPECT_EQ(offers[1].fileName, path("backup.cfg")); // the last name, with its extension

    receive(readyRecord());
    choose(window.openFileDialog(), path("backup.cfg"));
    child<QAction>("loadFromFileAction")->trigger();
    EXPECT_EQ(offers[2].mode, FileDialog::Mode::Open);
    EXPECT_EQ(offers[2].fileName, "config.cfg");
    EXPECT_EQ(offers[2].filter, "Config File (*.cfg)");
    // The call request saved with the record goes to the adapter with it.
    EXPECT_EQ(adapter.takeChanges(), Changes{change::LoadConfiguration{bytesOf(saved)}});
}

TEST_F(ConfigFileTest, SaveAppendsTheExtensionUnlessItIsExactlyCfgAndReplacesWithoutAsking)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("old.d"));
    writeFile("settings.cfg", "older and longer than nothing");
    const struct
    {
        const char *chosen;
        const char *written;
    } cases[] = {{"backup", "backup.cfg"},
                 {"backup.CFG", "backup.CFG.cfg"},
                 {"settings.cfg", "settings.cfg"},
                 {"notes.txt", "notes.txt.cfg"},
                 {"old.d/plain", "old.d/plain.cfg"}};
    receive(patterned());
    for (const auto &[chosen, written] : cases) {
        choose(window.saveFileDialog(), path(chosen));
        child<QAction>("saveToFileAction")->trigger();
        EXPECT_EQ(contents(written).size(), qsizetype(kRecordSize)) << chosen;
        EXPECT_EQ(window.saveFileDialog().selectedFile(), path(written));
    }
    EXPECT_FALSE(QFile::exists(path("backup.CFG")));
}

TEST_F(ConfigFileTest, ShortFilesGoToTheAdapterAsTheyAre)
{
    receive(patterned());
    const QByteArray ten("\x00"
                         "ABCDEFGHI",
                         10);
    writeFile("ten.cfg", ten);
    writeFile("empty.cfg", {});
    for (const char *name : {"ten.cfg", "empty.cfg"}) {
        choose(window.openFileDialog(), path(name));
        child<QAction>("loadFromFileAction")->trigger();
    }
    EXPECT_EQ(adapter.takeChanges(),
              (Changes{change::LoadConfiguration{ten}, change::LoadConfiguration{QByteArray()}}));
}

TEST_F(ConfigFileTest, FailuresAreShownInBoxesTitledWithTheApplicationAndChangeNothing)
{
    receive(patterned());
    choose(window.saveFileDialog(), path("missing/backup"));
    const BoxAnswerer cannotCreate;
    child<QAction>("saveToFileAction")->trigger();
    ASSERT_TRUE(cannotCreate.seen);
    EXPECT_EQ(cannotCreate.seen->title, "VESTRA7");
    EXPECT_TRUE(cannotCreate.seen->text.startsWith("Cannot create file \"" + path("missing/backup.cfg") + "\". "))
        << cannotCreate.seen->text.toStdString();
    EXPECT_EQ(cannotCreate.seen->icon, QMessageBox::Critical);
    EXPECT_EQ(cannotCreate.seen->buttons, QStringList{"OK"});
    EXPECT_EQ(window.saveFileDialog().selectedFile(), path("missing/backup.cfg"));

    emit adapter.identityChanged({"VESTRA7 Duo", "", ""}); // its product name, once it was found
    choose(window.openFileDialog(), path("absent.cfg"));
    const BoxAnswerer cannotOpen;
    child<QAction>("loadFromFileAction")->trigger();
    QGuiApplication::setApplicationDisplayName(QString());
    ASSERT_TRUE(cannotOpen.seen);
    EXPECT_EQ(cannotOpen.seen->title, "VESTRA7 Duo");
    EXPECT_TRUE(cannotOpen.seen->text.startsWith("Cannot open file \"" + path("absent.cfg") + "\". "));
    EXPECT_EQ(cannotOpen.seen->icon, QMessageBox::Critical);
    EXPECT_EQ(adapter.takeChanges(), Changes{});
}

TEST_F(ConfigFileTest, LoadingTakesTheFocusFromThePartyEditsSoTheNextRefreshShowsTheLoadedParty)
{
    DeviceRecord loaded = readyRecord();
    loaded.subscriber[0] = makeParty("Loaded", "+100");
    writeFile("party.cfg", bytesOf(loaded));
    receive(readyRecord());
    auto *name = child<QLineEdit>("partyNameEdit");
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    name->setFocus();
    QTest::keyClicks(name, "typing");

    choose(window.openFileDialog(), path("party.cfg"));
    child<QAction>("loadFromFileAction")->trigger();
    ASSERT_EQ(adapter.takeChanges(), Changes{change::LoadConfiguration{bytesOf(loaded)}});
    receive(loaded); // the adapter's reply
    EXPECT_EQ(name->text(), "Loaded");
    EXPECT_EQ(child<QLineEdit>("partyNumberEdit")->text(), "+100");
}

} // namespace

} // namespace vestra7
