// SPDX-License-Identifier: GPL-3.0-or-later
// A firmware update as a person goes through it: the program's own modal boxes and file dialog, each
// read for a second before it is answered, while the adapter restarts and the update window's timer
// ticks on.
#include "program_fixture.h"

#include "model/byte_span.h"
#include "sim/demo_adapter.h"
#include "support/patient_user.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QMenuBar>

#include <gmock/gmock.h>

#include <algorithm>

namespace vestra7 {

namespace {

using testing::ElementsAre;

class UpdateByHand : public ProgramOnHidraw
{
protected:
    void SetUp() override
    {
        ProgramOnHidraw::SetUp();
        if (IsSkipped())
            return;
        realPrompts = true;
        user.giveUpAfter(std::chrono::seconds(90));
        updateFile = folder.filePath(QStringLiteral("VESTRA7-1.3.0.xupd"));
        ASSERT_TRUE(writeFile(updateFile, demoUpdateFile(16 * 1024)));
    }

    // Chooses "Update firmware" and, once the boot loader is there, picks the file. The result is
    // read until the adapter has restarted into its firmware and the program has found it there:
    // the ticks of the update window meet that restart while the box is open. Returns once the update
    // window has closed.
    void updateAsAPerson()
    {
        user.pressOnce(QStringLiteral("Update FW"), QStringLiteral("Select file"));
        user.chooseFile(updateFile);
        // The question before the transfer is answered as soon as it has been read; the result once
        // the adapter is back in its firmware.
        user.answerBoxes(QStringLiteral("OK"), [this] { return asksToTransfer() || backInFirmware(); });
        QAction *entry = menuEntry(QStringLiteral("Update firmware"));
        ASSERT_NE(entry, nullptr);
        entry->trigger();
        ASSERT_FALSE(user.gaveUp()) << testing::PrintToString(user.seen());
        EXPECT_FALSE(updateWindowShown());
    }

    // Whether the adapter runs its firmware again and the program has found it there. The adapter
    // restarts as soon as its result is out, whatever the program does; the emulated one waits until
    // the program reads on, which the open box holds back, so it is restarted here the first time
    // this is asked.
    bool backInFirmware()
    {
        if (!m_restarted) {
            m_restarted = true;
            adapter->leaveBootLoader();
        }
        return link().connected();
    }

    static bool asksToTransfer()
    {
        const QWidget *box = QApplication::activeModalWidget();
        return box && box->windowTitle() == QLatin1String("Confirm");
    }

    // The question before the transfer, which names the file's version and the adapter's, and the
    // file's checksum.
    static SeenWindow transferQuestion()
    {
        const std::vector<std::uint8_t> file = demoUpdateFile(16 * 1024);
        const QByteArray sha256 = QCryptographicHash::hash(toByteArray(file), QCryptographicHash::Sha256);
        return {SeenWindow::Kind::MessageBox, QStringLiteral("Confirm"),
                QStringLiteral("This replaces the adapter's firmware.\n\nFile: VESTRA7, version 1.3.0\nAdapter: "
                               "version 1.2\n\nThe file holds a newer version than the adapter runs.\n\n"
                               "SHA-256 of the file: %1\n\nTransfer the file?")
                    .arg(QString::fromLatin1(sha256.toHex()))};
    }

    // Records come again and are shown: the main window polls the adapter in its firmware.
    void expectPollingResumed()
    {
        ASSERT_TRUE(waitConnected());
        EXPECT_TRUE(waitForRefreshes(2));
    }

    QAction *menuEntry(const QString &text)
    {
        const QList<QAction *> entries = window().findChild<QMenuBar *>()->actions();
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [&](QAction *entry) { return entry->text().remove(u'&') == text; });
        return found != entries.end() ? *found : nullptr;
    }

    static bool updateWindowShown()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(), [](QWidget *window) {
            return window->isVisible() && window->windowTitle() == QLatin1String("Update FW");
        });
    }

    PatientUser user;

private:
    QString updateFile;
    bool m_restarted = false;
};

TEST_F(UpdateByHand, ASuccessShowsOneBoxAfterTheQuestionAndPollingResumesOnceItIsDismissed)
{
    startConnected();
    updateAsAPerson();
    EXPECT_THAT(user.messageBoxes(),
                ElementsAre(transferQuestion(), SeenWindow{SeenWindow::Kind::MessageBox, QStringLiteral("Update FW"),
                                                           QStringLiteral("Update success!")}));
    expectPollingResumed();
}

TEST_F(UpdateByHand, AFailedImageCheckShowsOneErrorBoxAfterTheQuestionAndPollingResumesOnceItIsDismissed)
{
    adapter->setUpdateResult(false);
    startConnected();
    updateAsAPerson();
    EXPECT_THAT(user.messageBoxes(),
                ElementsAre(transferQuestion(), SeenWindow{SeenWindow::Kind::MessageBox, QStringLiteral("Update FW"),
                                                           QStringLiteral("Error!\r\nRetry again")}));
    expectPollingResumed();
}

} // namespace

} // namespace vestra7
