// The update window on its own: its look, showing it, leaving it, the ticks, the selection of a file
// and the adapter's replies, with the link's mailbox standing in for the adapter.
#include "update_test_files.h"
#include "update_test_window.h"

#include "link/commands.h"
#include "link/device_link.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

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

class UpdateWindow : public testing::Test
{
protected:
    UpdateWindow()
    {
        mainWindow.setGeometry(100, 50, 601, 401);
        fu.setPrompts(prompts.prompts(fu));
        // The tests give the ticks themselves.
        fu.tmrb->stop();
    }

    // The adapter as discovery reports its boot loader.
    void inBootLoader()
    {
        link.boot_mode = true;
        fu.setIdentity(kBootName, QStringLiteral("V7-1"), QStringLiteral("0.1"));
        fu.enableBootLoaderActions(true);
    }

    void choose(const std::vector<std::uint8_t> &file)
    {
        prompts.files.push_back(files.write(QStringLiteral("fw%1.xupd").arg(++m_fileCount), file));
        fu.select->click();
    }

    // What the window last posted, taken out of the slot as the worker would take it.
    std::optional<Mailbox::Snapshot> posted()
    {
        if (!link.mailbox.request_pending())
            return std::nullopt;
        const Mailbox::Snapshot snapshot = link.mailbox.snapshot();
        link.mailbox.takeRequest();
        link.mailbox.sendFinished(snapshot.cmd, 0);
        return snapshot;
    }

    bool actionsEnabled() const { return fu.select->isEnabled() && fu.def->isEnabled(); }
    bool actionsDisabled() const { return !fu.select->isEnabled() && !fu.def->isEnabled(); }

    DeviceLink link{nullptr};
    QWidget mainWindow;
    FirmwareUpdateDialog fu{link, &mainWindow};
    RecordedPrompts prompts;
    FileFolder files;

private:
    int m_fileCount = 0;
};

TEST_F(UpdateWindow, AsCreated)
{
    EXPECT_EQ(fu.windowTitle(), QStringLiteral("Update FW"));
    EXPECT_EQ(fu.minimumSize(), QSize(267, 286));
    EXPECT_EQ(fu.maximumSize(), QSize(267, 286));
    const Qt::WindowFlags flags = fu.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    for (const Qt::WindowType button : {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint,
                                        Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint})
        EXPECT_FALSE(flags.testFlag(button)) << button;
    EXPECT_EQ(fu.font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(fu.font().pixelSize(), 11);
    EXPECT_TRUE(fu.font().bold());
    EXPECT_EQ(fu.dev_name->font().pixelSize(), 11) << "the controls take the window's font";

    // Until a boot loader has been found, only "Reset settings" can be used.
    EXPECT_FALSE(fu.select->isEnabled());
    EXPECT_TRUE(fu.def->isEnabled());

    EXPECT_EQ(fu.open->parent(), &fu);
    EXPECT_EQ(fu.open->nameFilters(), QStringList{QStringLiteral("Update File (*.xupd)")});
    EXPECT_EQ(fu.open->fileMode(), QFileDialog::ExistingFile);

    FirmwareUpdateDialog fresh(link);
    EXPECT_TRUE(fresh.tmrb->isActive());
    EXPECT_EQ(fresh.tmrb->interval(), FirmwareUpdateDialog::kFirstTickMs);
}

TEST_F(UpdateWindow, ShowingClearsTheFlagsResetsTheBarAndCentresOverTheMainWindow)
{
    fu.fw_sending = true;
    fu.fw_close_request = true;
    fu.pb->setValue(40);
    fu.pb->captionLabel()->setText(QStringLiteral("40.0 %"));
    fu.pb->setBarStyle(CaptionedProgressBar::BarStyle::Marquee);

    fu.show();
    EXPECT_FALSE(fu.fw_sending);
    EXPECT_FALSE(fu.fw_close_request);
    EXPECT_EQ(fu.pb->barStyle(), CaptionedProgressBar::BarStyle::Ordinary);
    EXPECT_EQ(fu.pb->value(), 0);
    EXPECT_EQ(fu.pb->captionLabel()->text(), QStringLiteral("0 %"));
    // The outer frames' middles meet, each half truncated: the main window's (601 x 401) is at 100 + 300
    // and 50 + 200.
    const QRect frame = fu.frameGeometry();
    EXPECT_EQ(frame.topLeft(), QPoint(400 - frame.width() / 2, 250 - frame.height() / 2));
}

TEST_F(UpdateWindow, OnlyCloseLeavesTheShownWindowAndItEndsTheUpdate)
{
    inBootLoader();
    fu.show();
    fu.fw_sending = true;

    QTest::keyClick(&fu, Qt::Key_Escape);
    EXPECT_TRUE(fu.isVisible()) << "Escape";
    EXPECT_FALSE(fu.close());
    EXPECT_TRUE(fu.isVisible()) << "a close request";
    EXPECT_FALSE(posted());

    fu.cancel->click();
    EXPECT_FALSE(fu.isVisible());
    EXPECT_FALSE(link.boot_mode) << "the main window's polling resumes";
    EXPECT_FALSE(fu.fw_sending);
    const auto message = posted();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->cmd, CMD_LEAVE_UPDATE);
    EXPECT_TRUE(message->payload.empty());
    fu.tmrbTimer();
    EXPECT_FALSE(posted()) << "nothing goes on from the hidden window";
}

TEST_F(UpdateWindow, TicksAskForTheBootLoaderOnlyWhileShownAndNotInIt)
{
    fu.tmrb->setInterval(FirmwareUpdateDialog::kFirstTickMs);
    fu.tmrbTimer();
    EXPECT_FALSE(posted()) << "hidden";
    EXPECT_EQ(fu.tmrb->interval(), FirmwareUpdateDialog::kResendMs);

    fu.show();
    fu.tmrbTimer();
    const auto message = posted();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->cmd, CMD_ENTER_BOOT);
    EXPECT_TRUE(message->payload.empty());

    inBootLoader();
    fu.tmrbTimer();
    EXPECT_FALSE(posted()) << "in the boot loader";
}

TEST_F(UpdateWindow, ASelectionWithoutTransferGivesBothButtonsBack)
{
    inBootLoader();
    fu.show();

    struct Outcome
    {
        const char *what;
        std::optional<std::vector<std::uint8_t>> file; // none: the dialog is cancelled
        QString message;
    };
    std::vector<std::uint8_t> unended = updateFile("MODEL=VESTRA7 ", {});
    unended.pop_back();
    const Outcome outcomes[] = {
        {"dialog cancelled", std::nullopt, {}},
        {"another model", updateFile("MODEL=VESTRA8 &", payloadBytes(600)), QStringLiteral("Incorrect file!")},
        {"too short", std::vector<std::uint8_t>{0x05, 0x00, 0x00, 0x00}, QStringLiteral("Incorrect file!")},
        {"header text without its end", unended, QStringLiteral("Incorrect file!")},
    };
    for (const Outcome &outcome : outcomes) {
        SCOPED_TRACE(outcome.what);
        prompts.messages.clear();
        if (outcome.file) {
            choose(*outcome.file);
        } else {
            fu.select->click();
        }
        EXPECT_TRUE(prompts.dialogOwnedByWindow);
        EXPECT_TRUE(actionsEnabled());
        EXPECT_FALSE(fu.fw_sending);
        fu.tmrbTimer();
        EXPECT_FALSE(posted());
        if (outcome.message.isEmpty()) {
            EXPECT_TRUE(prompts.messages.empty());
            continue;
        }
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, outcome.message);
        EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Critical);
        EXPECT_TRUE(prompts.messages[0].ownedByWindow);
        EXPECT_EQ(prompts.messages[0].barState, CaptionedProgressBar::BarState::Error) << "while the box is open";
        EXPECT_EQ(fu.pb->barState(), CaptionedProgressBar::BarState::Normal) << "once it is dismissed";
    }
}

TEST_F(UpdateWindow, AFileThatCannotBeOpenedIsReportedWithTheReason)
{
    inBootLoader();
    const QString path = files.path(QStringLiteral("missing.xupd"));
    prompts.files.push_back(path);
    fu.select->click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(path));
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(actionsEnabled());
    EXPECT_FALSE(fu.fw_sending);
}

TEST_F(UpdateWindow, AnAcceptedFileReplacesTheLastAndStartsItsTransfer)
{
    inBootLoader();
    fu.show();
    choose(updateFile("MODEL=VESTRA8 &", payloadBytes(100)));
    ASSERT_EQ(prompts.messages.size(), 1u);

    const std::vector<std::uint8_t> file = updateFile(kHeader, payloadBytes(1000), 64);
    choose(file);
    EXPECT_EQ(prompts.messages.size(), 1u) << "accepted without a word";
    EXPECT_TRUE(std::ranges::equal(fu.fw_image.bytes(), file)) << "the rejected file leaves no trace";
    EXPECT_EQ(fu.fw_image.position(), 64u);
    EXPECT_TRUE(fu.fw_sending);
    EXPECT_TRUE(actionsDisabled());

    // An enumeration during the transfer (any device plugged in) must not offer a second file.
    fu.enableBootLoaderActions(true);
    EXPECT_TRUE(actionsDisabled());

    fu.tmrbTimer();
    const auto message = posted();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->cmd, CMD_FW_CHUNK);
    EXPECT_EQ(message->payload, std::vector<std::uint8_t>(file.begin() + 64, file.begin() + 64 + 544));
    EXPECT_EQ(fu.fw_image.position(), 64u) << "only the acknowledgement moves on";

    // The next showing of the window lets discovery set the buttons again.
    fu.cancel->click();
    fu.show();
    fu.enableBootLoaderActions(true);
    EXPECT_TRUE(actionsEnabled());
}

TEST_F(UpdateWindow, AnAcknowledgementMovesOnAChunkAndShowsTheShareOfTheWholeFile)
{
    const LocaleGuard german{QLocale(QLocale::German)};
    inBootLoader();
    fu.show();
    // 2176 bytes with the payload at 544: after the first chunk the position is at half the file.
    const std::vector<std::uint8_t> file = updateFile(kHeader, payloadBytes(1632), 544);
    ASSERT_EQ(file.size(), 2176u);
    choose(file);

    fu.tmrbTimer();
    ASSERT_EQ(fu.tmrb->interval(), FirmwareUpdateDialog::kResendMs);
    fu.uret(CMD_FW_CHUNK, {});
    EXPECT_EQ(fu.fw_image.position(), 1088u);
    EXPECT_EQ(fu.tmrb->interval(), FirmwareUpdateDialog::kNextChunkMs);
    EXPECT_EQ(fu.pb->value(), 50);
    EXPECT_EQ(fu.pb->captionLabel()->text(), QStringLiteral("50,0 %"));

    posted();
    fu.tmrbTimer();
    const auto message = posted();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->payload, std::vector<std::uint8_t>(file.begin() + 1088, file.begin() + 1632));
}

TEST_F(UpdateWindow, TheLastChunkIsPaddedAndThenTheEndIsSentOnce)
{
    inBootLoader();
    fu.show();
    const std::vector<std::uint8_t> file = updateFile(kHeader, payloadBytes(600), 40);
    choose(file);
    fu.uret(CMD_FW_CHUNK, {});

    fu.tmrbTimer();
    auto message = posted();
    ASSERT_TRUE(message);
    std::vector<std::uint8_t> last(file.begin() + 584, file.end());
    last.resize(544, 0);
    EXPECT_EQ(message->payload, last);

    fu.uret(CMD_FW_CHUNK, {});
    EXPECT_EQ(fu.pb->value(), 100);
    EXPECT_EQ(fu.pb->captionLabel()->text(), QStringLiteral("100.0 %")) << "the padding does not count";
    fu.tmrbTimer();
    message = posted();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->cmd, CMD_FW_END);
    EXPECT_TRUE(message->payload.empty());
    EXPECT_FALSE(fu.fw_sending);
    fu.tmrbTimer();
    EXPECT_FALSE(posted()) << "waiting for the result";
}

TEST_F(UpdateWindow, TheResultIsShownAndTheWindowClosesAfterIt)
{
    struct Result
    {
        std::vector<std::uint8_t> payload;
        QString text;
    };
    const Result results[] = {
        {{1}, QStringLiteral("Update success!")},
        {{0xFF, 0}, QStringLiteral("Update success!")},
        {{0}, QStringLiteral("Error!\r\nRetry again")},
        {{}, QStringLiteral("Error!\r\nRetry again")},
    };
    for (const Result &result : results) {
        SCOPED_TRACE(result.text.toStdString() + " from " + std::to_string(result.payload.size()) + " bytes");
        inBootLoader();
        fu.show();
        fu.pb->setValue(70);
        prompts.messages.clear();

        fu.uret(CMD_FW_END, result.payload);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, result.text);
        EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Information);
        EXPECT_TRUE(prompts.messages[0].ownedByWindow);
        EXPECT_FALSE(link.boot_mode);
        EXPECT_TRUE(fu.fw_close_request);
        EXPECT_EQ(fu.tmrb->interval(), FirmwareUpdateDialog::kCloseDelayMs);
        EXPECT_EQ(fu.pb->value(), 0);
        EXPECT_EQ(fu.pb->captionLabel()->text(), QStringLiteral("0 %"));

        fu.tmrbTimer();
        EXPECT_FALSE(fu.isVisible());
        EXPECT_EQ(fu.tmrb->interval(), FirmwareUpdateDialog::kCloseDelayMs);
        EXPECT_FALSE(posted());
    }

    // A result that comes while the window is hidden still counts.
    inBootLoader();
    prompts.messages.clear();
    fu.uret(CMD_FW_END, std::vector<std::uint8_t>{1});
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_FALSE(link.boot_mode);
}

TEST_F(UpdateWindow, RepliesWithoutPayloadAndRepliesItIgnores)
{
    inBootLoader();
    fu.show();
    choose(updateFile(kHeader, payloadBytes(2000)));
    const std::uint64_t start = fu.fw_image.position();
    fu.tmrb->setInterval(FirmwareUpdateDialog::kResendMs);

    // Nothing is there to read: a handler that looks at the payload anyway fails under the sanitizer.
    for (int cmd = 241; cmd <= 255; ++cmd) {
        if (cmd == CMD_FW_END)
            continue;
        fu.uret(static_cast<std::uint8_t>(cmd), {});
    }
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Settings is reset!"));
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Information);
    EXPECT_EQ(fu.fw_image.position(), start);
    EXPECT_EQ(fu.tmrb->interval(), FirmwareUpdateDialog::kResendMs);
    EXPECT_TRUE(fu.fw_sending);
    EXPECT_TRUE(link.boot_mode);
    EXPECT_TRUE(fu.isVisible());
}

TEST_F(UpdateWindow, ResetSettingsAsksTheBootLoader)
{
    fu.show();
    fu.def->click();
    const auto message = posted();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->cmd, CMD_RESET_SETTINGS);
    EXPECT_TRUE(message->payload.empty());
    EXPECT_TRUE(prompts.messages.empty()) << "the message waits for the adapter's reply";
}

} // namespace
