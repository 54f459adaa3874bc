// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's questions before a step whose outcome the user may not expect: a file that is
// no configuration, and a firmware update that ends a call.
#include "main_window_fixture.h"

#include "support/record_builders.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace vestra7 {

namespace {

class ConfirmationsTest : public MainWindowTest
{
protected:
    void load(const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("chosen.cfg"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        window.openFileDialog().setChooser(
            [path](QWidget *, const FileDialog::Offer &) { return std::optional(path); });
        child<QAction>("loadFromFileAction")->trigger();
    }

    QTemporaryDir dir;
};

TEST_F(ConfirmationsTest, AFileThatIsNotOneRecordLongNamesItsSizeAndLoadsOnlyWhenTheUserSaysSo)
{
    const QByteArray text("This is a letter, not a configuration.\n");
    confirmAnswer = false;
    load(text);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(
        questions[0].contains(QStringLiteral("its size is %1 bytes, a configuration file's is 1789").arg(text.size())))
        << questions[0].toStdString();
    EXPECT_EQ(adapter.takeChanges(), Changes{});

    confirmAnswer = true;
    load(text);
    EXPECT_EQ(adapter.takeChanges(), Changes{change::LoadConfiguration{text}}) << "still allowed, as far as it goes";

    // One byte more than a record: only the record's worth is read, but the file's size is named.
    questions.clear();
    load(QByteArray(kRecordSize + 1, '\x01'));
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("its size is 1790 bytes")) << questions[0].toStdString();
    adapter.takeChanges();

    questions.clear();
    load(QByteArray(kRecordSize, '\x02'));
    EXPECT_TRUE(questions.isEmpty()) << "a configuration's size asks nothing";
    EXPECT_EQ(adapter.takeChanges(), Changes{change::LoadConfiguration{QByteArray(kRecordSize, '\x02')}});
}

TEST_F(ConfirmationsTest, TheProgramsOwnBoxAsksAboutTheSizeWithCancelTheDefault)
{
    window.setConfirmer(nullptr);
    const BoxAnswerer cancel(QStringLiteral("Cancel"));
    load(QByteArray(10, 'x'));
    ASSERT_TRUE(cancel.seen);
    EXPECT_EQ(cancel.seen->title, "Confirm");
    EXPECT_EQ(cancel.seen->buttons, (QStringList{"OK", "Cancel"}));
    EXPECT_EQ(cancel.seen->defaultButton, "Cancel");
    EXPECT_EQ(cancel.seen->owner, &window);
    EXPECT_EQ(adapter.takeChanges(), Changes{});
}

TEST_F(ConfirmationsTest, UpdatingTheFirmwareDuringACallAsksFirstSinceTheAdapterRestarts)
{
    QDialog updateWindow;
    window.setUpdateWindow(&updateWindow);
    int shown = 0;
    const auto openUpdate = [&] {
        QTimer::singleShot(0, &updateWindow, [&] {
            if (!updateWindow.isVisible())
                return;
            ++shown;
            updateWindow.reject();
        });
        child<QAction>("updateFirmwareAction")->trigger();
        // When the window was not shown, the close runs here, with nothing to close.
        QCoreApplication::processEvents();
    };

    DeviceRecord record = readyRecord();
    adapter.receive(record);
    openUpdate();
    EXPECT_TRUE(questions.isEmpty()) << "both lines idle";
    EXPECT_EQ(shown, 1);

    record.stat[1] = 3; // line B in a call, as its hang-up button tells
    adapter.receive(record);
    confirmAnswer = false;
    openUpdate();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("ends the call")) << questions[0].toStdString();
    EXPECT_EQ(shown, 1);

    confirmAnswer = true;
    openUpdate();
    EXPECT_EQ(shown, 2);

    // Without an adapter in its firmware the record is an old one: nothing to ask.
    questions.clear();
    emit adapter.connectionChanged(false);
    openUpdate();
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_EQ(shown, 3);
}

} // namespace

} // namespace vestra7
