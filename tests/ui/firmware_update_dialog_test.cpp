// SPDX-License-Identifier: GPL-3.0-or-later
// The update window on its own: its form, showing and leaving it, the selection of a file, and what
// it makes of the updater's reports. The updater behind it runs on a recording port and a fake clock.
#include "support/recorded_prompts.h"
#include "support/update_test_files.h"
#include "support/updater_fakes.h"

#include "support/fake_adapter.h"

#include "link/commands.h"
#include "link/firmware_updater.h"
#include "link/tick_timer.h"
#include "model/byte_span.h"
#include "support/update_dialog_controls.h"
#include "widgets/captioned_progress_bar.h"

#include <QCryptographicHash>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <string_view>

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

const QString kBootName = QStringLiteral("VESTRA7 (boot)");
constexpr char kHeader[] = "MODEL=VESTRA7 &VERSION=1.3";

class LocaleGuard
{
public:
    explicit LocaleGuard(const QLocale &locale) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};

class UpdateDialog : public testing::Test
{
protected:
    UpdateDialog()
    {
        mainWindow.setGeometry(100, 50, 601, 401);
        dialog.setPrompts(prompts.prompts(dialog));
    }

    // The adapter as discovery reports its boot loader.
    void inBootLoader()
    {
        emit adapter.identityChanged({kBootName, QStringLiteral("V7-1"), QStringLiteral("0.1")});
        updater.adapterFound(true);
    }

    void choose(const Bytes &file)
    {
        prompts.files.push_back(files.write(QStringLiteral("fw%1.xupd").arg(++m_fileCount), file));
        controls.selectFileButton->click();
    }

    void closeBy(std::string_view way)
    {
        if (way == "Close")
            controls.closeButton->click();
        else if (way == "Escape")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
    }

    bool actionsEnabled() const
    {
        return controls.selectFileButton->isEnabled() && controls.resetSettingsButton->isEnabled();
    }
    bool actionsDisabled() const
    {
        return !controls.selectFileButton->isEnabled() && !controls.resetSettingsButton->isEnabled();
    }

    RecordingPort port;
    std::unique_ptr<FakeTickTimer> m_ownTimer = std::make_unique<FakeTickTimer>();
    FakeTickTimer &timer = *m_ownTimer;
    FirmwareUpdater updater{port, std::move(m_ownTimer)};
    FakeAdapter adapter{updater};
    QWidget mainWindow;
    FirmwareUpdateDialog dialog{adapter, &mainWindow};
    UpdateDialogControls controls{dialog};
    RecordedPrompts prompts;
    FileFolder files;

private:
    int m_fileCount = 0;
};

TEST_F(UpdateDialog, AsCreated)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Update FW"));
    EXPECT_EQ(dialog.minimumSize(), QSize(267, 286));
    EXPECT_EQ(dialog.maximumSize(), QSize(267, 286));
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(233, 233, 233));
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    for (const Qt::WindowType button : {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint,
                                        Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint})
        EXPECT_FALSE(flags.testFlag(button)) << button;
    EXPECT_EQ(dialog.font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(dialog.font().pixelSize(), 11);
    EXPECT_TRUE(dialog.font().bold());
    EXPECT_EQ(controls.deviceNameEdit->font().pixelSize(), 11) << "the controls take the window's font";

    // Until a boot loader has been found, only "Reset settings" can be used.
    EXPECT_FALSE(controls.selectFileButton->isEnabled());
    EXPECT_TRUE(controls.resetSettingsButton->isEnabled());

    EXPECT_EQ(controls.fileDialog->parent(), &dialog);
    EXPECT_EQ(controls.fileDialog->nameFilters(), QStringList{QStringLiteral("Update File (*.xupd)")});
    EXPECT_EQ(controls.fileDialog->fileMode(), QFileDialog::ExistingFile);
}

TEST_F(UpdateDialog, TheFormKeepsItsPlacesTextsAndTabOrder)
{
    struct Control
    {
        const char *name;
        QRect geometry;
        QString text;
    };
    const Control controlsInPlace[] = {
        {"closeButton", {10, 10, 247, 25}, QStringLiteral("Close")},
        {"identityPanel", {11, 41, 243, 150}, {}},
        {"deviceNameLabel", {6, 6, 231, 17}, QStringLiteral("Device")},
        {"deviceNameEdit", {6, 23, 231, 21}, {}},
        {"serialNumberLabel", {6, 56, 231, 17}, QStringLiteral("Serial")},
        {"serialNumberEdit", {6, 73, 231, 21}, {}},
        {"versionLabel", {6, 105, 231, 17}, QStringLiteral("Version")},
        {"versionEdit", {6, 123, 231, 21}, {}},
        {"progressBar", {10, 197, 247, 17}, {}},
        {"selectFileButton", {10, 220, 247, 25}, QStringLiteral("Select file")},
        {"resetSettingsButton", {10, 251, 247, 25}, QStringLiteral("Reset settings")},
    };
    for (const Control &control : controlsInPlace) {
        SCOPED_TRACE(control.name);
        const auto *widget = dialog.findChild<QWidget *>(QLatin1String(control.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), control.geometry);
        if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
            EXPECT_EQ(button->text(), control.text);
        }
        if (const auto *label = qobject_cast<const QLabel *>(widget)) {
            EXPECT_EQ(label->text(), control.text);
        }
        if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
            EXPECT_TRUE(edit->isReadOnly());
            EXPECT_EQ(edit->alignment(), Qt::AlignCenter);
        }
    }
    EXPECT_EQ(controls.progressBar->maximum(), 100);

    // Tab goes through the controls that take the focus in this order, and round again.
    const QList<QWidget *> order{controls.selectFileButton, controls.deviceNameEdit, controls.serialNumberEdit,
                                 controls.versionEdit,      controls.closeButton,    controls.resetSettingsButton};
    const auto nextTabStop = [](QWidget *widget) {
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
        return widget;
    };
    for (qsizetype i = 0; i < order.size(); ++i)
        EXPECT_EQ(nextTabStop(order[i]), order[(i + 1) % order.size()]) << order[i]->objectName().toStdString();
}

TEST_F(UpdateDialog, ShowingResetsTheBarAndCentresOverTheMainWindow)
{
    controls.progressBar->setValue(40);
    controls.progressBar->captionLabel()->setText(QStringLiteral("40.0 %"));
    controls.progressBar->setBarStyle(CaptionedProgressBar::BarStyle::Marquee);

    dialog.show();
    EXPECT_EQ(controls.progressBar->barStyle(), CaptionedProgressBar::BarStyle::Ordinary);
    EXPECT_EQ(controls.progressBar->value(), 0);
    EXPECT_EQ(controls.progressBar->captionLabel()->text(), QStringLiteral("0 %"));
    // The outer frames' middles meet, each half truncated: the main window's (601 x 401) is at 100 + 300
    // and 50 + 200.
    const QRect frame = dialog.frameGeometry();
    EXPECT_EQ(frame.topLeft(), QPoint(400 - frame.width() / 2, 250 - frame.height() / 2));

    // Shown, the window has the ticks wake the boot loader.
    timer.tick();
    EXPECT_EQ(port.take(), (std::vector<RecordingPort::Message>{{CMD_ENTER_BOOT, {}}}));
}

// "Close", Escape and the window manager's close request leave the window alike.
const char *const kWaysToClose[] = {"Close", "Escape", "a close request"};

TEST_F(UpdateDialog, EveryWayToCloseLeavesTheReadyWindowAndEndsTheUpdate)
{
    for (const char *way : kWaysToClose) {
        SCOPED_TRACE(way);
        dialog.show();
        inBootLoader();
        port.take();

        closeBy(way);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(port.take(), (std::vector<RecordingPort::Message>{{CMD_LEAVE_UPDATE, {}}}));
        EXPECT_TRUE(prompts.questions.empty()) << "nothing to lose: no question";
        EXPECT_FALSE(updater.bootMode()) << "the main window's polling resumes";
        timer.advance(1s);
        EXPECT_TRUE(port.take().empty()) << "a hidden window has no boot loader woken";
    }
}

TEST_F(UpdateDialog, EveryWayToCloseDuringATransferAsksFirstWithCancelTheDefault)
{
    for (const char *way : kWaysToClose) {
        SCOPED_TRACE(way);
        dialog.show();
        inBootLoader();
        prompts.confirmAnswer = true;
        choose(updateFile(kHeader, payloadBytes(2000)));
        ASSERT_TRUE(updater.isSending());
        prompts.questions.clear();
        prompts.cancelFirstAnswers.clear();
        port.take();

        prompts.confirmAnswer = false;
        closeBy(way);
        ASSERT_EQ(prompts.questions.size(), 1);
        EXPECT_TRUE(prompts.questions[0].contains("stays in its boot loader until a transfer completes"))
            << prompts.questions[0].toStdString();
        EXPECT_TRUE(prompts.cancelFirstAnswers[0]);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(updater.isSending()) << "declined: the transfer goes on";
        for (const RecordingPort::Message &message : port.take())
            EXPECT_NE(message.cmd, CMD_LEAVE_UPDATE);

        prompts.confirmAnswer = true;
        closeBy(way);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(updater.isSending());
        const std::vector<RecordingPort::Message> sent = port.take();
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.back().cmd, CMD_LEAVE_UPDATE);
    }
}

TEST_F(UpdateDialog, ASelectionWithoutTransferGivesBothButtonsBack)
{
    inBootLoader();
    dialog.show();

    struct Outcome
    {
        const char *what;
        std::optional<Bytes> file; // none: the dialog is cancelled
        QString message;
        QString detail;
    };
    Bytes unended = updateFile("MODEL=VESTRA7 ", {});
    unended.pop_back();
    const Outcome outcomes[] = {
        {"dialog cancelled", std::nullopt, {}, {}},
        {"another model", updateFile("MODEL=VESTRA8 &", payloadBytes(600)), QStringLiteral("Incorrect file!"),
         QStringLiteral("The file is for a VESTRA8; the adapter is a VESTRA7.")},
        {"the device's name with (boot) in it", updateFile("MODEL=VESTRA7 (boot)&", payloadBytes(600)),
         QStringLiteral("Incorrect file!"),
         QStringLiteral("The file is for a VESTRA7 (boot); the adapter is a VESTRA7.")},
        {"too short", Bytes{0x05, 0x00, 0x00, 0x00}, QStringLiteral("Incorrect file!"),
         QStringLiteral("The file has no update header. The adapter is a VESTRA7.")},
        {"header text without its end", unended, QStringLiteral("Incorrect file!"),
         QStringLiteral("The file has no update header. The adapter is a VESTRA7.")},
        {"a header only", updateFile("MODEL=VESTRA7 &", {}), QStringLiteral("Incorrect file!"),
         QStringLiteral("The file, for a VESTRA7, holds no firmware behind its header.")},
    };
    for (const Outcome &outcome : outcomes) {
        SCOPED_TRACE(outcome.what);
        prompts.messages.clear();
        if (outcome.file) {
            choose(*outcome.file);
        } else {
            controls.selectFileButton->click();
        }
        EXPECT_TRUE(prompts.dialogOwnedByWindow);
        EXPECT_TRUE(actionsEnabled());
        EXPECT_FALSE(updater.isSending());
        timer.tick();
        EXPECT_TRUE(port.take().empty());
        if (outcome.message.isEmpty()) {
            EXPECT_TRUE(prompts.messages.empty());
            continue;
        }
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, outcome.message);
        EXPECT_EQ(prompts.messages[0].detail, outcome.detail);
        EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Critical);
        EXPECT_TRUE(prompts.messages[0].ownedByWindow);
        EXPECT_FALSE(prompts.messages[0].actionsEnabled) << "while the box is open";
        EXPECT_EQ(prompts.messages[0].barState, CaptionedProgressBar::BarState::Error) << "while the box is open";
        EXPECT_EQ(controls.progressBar->barState(), CaptionedProgressBar::BarState::Normal) << "once it is dismissed";
    }
}

TEST_F(UpdateDialog, AFileThatCannotBeOpenedIsReportedWithTheReason)
{
    inBootLoader();
    const QString path = files.path(QStringLiteral("missing.xupd"));
    prompts.files.push_back(path);
    controls.selectFileButton->click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(path));
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(actionsEnabled());
    EXPECT_FALSE(updater.isSending());
}

TEST_F(UpdateDialog, AnAcceptedFileGoesToTheUpdaterAndKeepsBothButtonsOff)
{
    inBootLoader();
    dialog.show();
    choose(updateFile("MODEL=VESTRA8 &", payloadBytes(100)));
    ASSERT_EQ(prompts.messages.size(), 1u);

    const Bytes file = updateFile(kHeader, payloadBytes(1000), 64);
    choose(file);
    EXPECT_EQ(prompts.messages.size(), 1u) << "accepted without a word";
    EXPECT_TRUE(updater.isSending());
    EXPECT_TRUE(std::ranges::equal(updater.image().bytes(), file));
    EXPECT_EQ(updater.image().position(), 64u);
    EXPECT_TRUE(actionsDisabled());
    updater.adapterFound(true);
    EXPECT_TRUE(actionsDisabled()) << "a second file would mix two images in the adapter";
    timer.tick();
    const std::vector<RecordingPort::Message> sent = port.take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].cmd, CMD_FW_CHUNK);
    EXPECT_EQ(sent[0].payload, Bytes(file.begin() + 64, file.begin() + 64 + 544));

    // The next showing of the window lets discovery set the buttons again.
    controls.closeButton->click();
    dialog.show();
    updater.adapterFound(true);
    EXPECT_TRUE(actionsEnabled());
}

TEST_F(UpdateDialog, TheBarShowsTheShareOfTheWholeFileInTheUsersLocale)
{
    const LocaleGuard german{QLocale(QLocale::German)};
    inBootLoader();
    dialog.show();
    // 2176 bytes with the payload at 544: after the first chunk the position is at half the file.
    const Bytes file = updateFile(kHeader, payloadBytes(1632), 544);
    ASSERT_EQ(file.size(), 2176u);
    choose(file);
    timer.tick();

    updater.replyReceived(CMD_FW_CHUNK, {});
    EXPECT_EQ(controls.progressBar->value(), 50);
    EXPECT_EQ(controls.progressBar->captionLabel()->text(), QStringLiteral("50,0 %"));
    updater.replyReceived(CMD_FW_CHUNK, {});
    updater.replyReceived(CMD_FW_CHUNK, {});
    EXPECT_EQ(controls.progressBar->value(), 100);
    EXPECT_EQ(controls.progressBar->captionLabel()->text(), QStringLiteral("100,0 %"));
}

TEST_F(UpdateDialog, TheResultIsShownWithTheBarAtItsLastPlaceAndTheWindowClosesAfterIt)
{
    struct Result
    {
        Bytes payload;
        QString text;
    };
    const Result results[] = {
        {{1}, QStringLiteral("Update success!")},
        {{0}, QStringLiteral("Error!\r\nRetry again")},
    };
    for (const Result &result : results) {
        SCOPED_TRACE(result.text.toStdString());
        dialog.show();
        inBootLoader();
        choose(updateFile(kHeader, payloadBytes(100), 0));
        timer.tick();
        updater.replyReceived(CMD_FW_CHUNK, {});
        prompts.messages.clear();

        updater.replyReceived(CMD_FW_END, result.payload);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, result.text);
        EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Information);
        EXPECT_TRUE(prompts.messages[0].ownedByWindow);
        EXPECT_EQ(prompts.messages[0].barValue, 100) << "while the box is open";
        EXPECT_EQ(controls.progressBar->value(), 0);
        EXPECT_EQ(controls.progressBar->captionLabel()->text(), QStringLiteral("0 %"));
        EXPECT_TRUE(dialog.isVisible());

        timer.advance(100ms);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
}

TEST_F(UpdateDialog, AnAdapterLostMidTransferIsReportedWithTheBarAtZero)
{
    inBootLoader();
    dialog.show();
    choose(updateFile(kHeader, payloadBytes(5000)));
    timer.tick();
    updater.replyReceived(CMD_FW_CHUNK, {});
    ASSERT_GT(controls.progressBar->value(), 0);

    updater.adapterLeft();
    timer.tick();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Error!\r\nRetry again"));
    EXPECT_EQ(prompts.messages[0].barValue, 0) << "while the box is open";
    EXPECT_TRUE(dialog.isVisible()) << "for the next try";
    EXPECT_TRUE(actionsDisabled()) << "no boot loader to send the file to";
    updater.adapterFound(true);
    EXPECT_TRUE(actionsEnabled());
}

TEST_F(UpdateDialog, ResetSettingsAsksTheBootLoaderAndShowsItsConfirmation)
{
    dialog.show();
    controls.resetSettingsButton->click();
    EXPECT_EQ(port.take(), (std::vector<RecordingPort::Message>{{CMD_RESET_SETTINGS, {}}}));
    EXPECT_TRUE(prompts.messages.empty()) << "the message waits for the adapter's reply";
    updater.replyReceived(CMD_RESET_SETTINGS, {});
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Settings is reset!"));
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Information);
    EXPECT_TRUE(dialog.isVisible());
}

} // namespace

namespace {

TEST_F(UpdateDialog, ATransferIsConfirmedFirstWithTheFilesModelAndVersionAgainstTheFirmwares)
{
    // The firmware's version, reported before the adapter restarts into its boot loader, which has its own.
    emit adapter.identityChanged({QStringLiteral("VESTRA7 "), QStringLiteral("V7-1"), QStringLiteral("1.3")});
    inBootLoader();
    dialog.show();

    struct Case
    {
        const char *header;
        const char *comparison;
        bool cancelFirst;
    };
    const Case cases[] = {
        {"MODEL=VESTRA7 &VERSION=1.10", "newer version", false},
        {"MODEL=VESTRA7 &VERSION=1.3.0&DATE=2026-11-20", "same version", true},
        {"MODEL=VESTRA7 &VERSION=1.2", "this is a downgrade", true},
        {"MODEL=VESTRA7 &", "cannot be told", false},
    };
    prompts.confirmAnswer = false;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.header);
        prompts.questions.clear();
        prompts.cancelFirstAnswers.clear();
        const Bytes file = updateFile(c.header, payloadBytes(600));
        choose(file);
        ASSERT_EQ(prompts.questions.size(), 1);
        const QString question = prompts.questions[0];
        EXPECT_TRUE(question.contains("replaces the adapter's firmware")) << question.toStdString();
        EXPECT_TRUE(question.contains("Adapter: version 1.3")) << question.toStdString();
        EXPECT_TRUE(question.contains(c.comparison)) << question.toStdString();
        EXPECT_EQ(prompts.cancelFirstAnswers[0], c.cancelFirst);
        // Worked out here with a tool of its own, so that the window's hash is checked, not restated.
        const QByteArray sha = QCryptographicHash::hash(toByteArray(file), QCryptographicHash::Sha256);
        EXPECT_TRUE(question.contains("SHA-256 of the file: " + sha.toHex())) << question.toStdString();
        // Declined: nothing goes out, and the buttons are back for another file.
        timer.tick();
        EXPECT_TRUE(port.take().empty());
        EXPECT_TRUE(actionsEnabled());
    }
    EXPECT_TRUE(prompts.questions[0].contains("File: VESTRA7, version unknown")) << "the model shown trimmed";

    prompts.confirmAnswer = true;
    choose(updateFile(kHeader, payloadBytes(600)));
    timer.tick();
    const std::vector<RecordingPort::Message> sent = port.take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].cmd, CMD_FW_CHUNK);
}

TEST_F(UpdateDialog, ResetSettingsSaysWhatItClearsAndSendsNothingUnlessConfirmed)
{
    inBootLoader();
    dialog.show();
    prompts.confirmAnswer = false;
    controls.resetSettingsButton->click();
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions[0].contains("clears the adapter's settings, its phone book and its call list"));
    EXPECT_TRUE(port.take().empty());
}

} // namespace

} // namespace vestra7
