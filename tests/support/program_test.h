// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program (the Application: adapter, main window and update window) with the emulated
// adapter behind it, for the tests that run it as its users do. Where its devices come from (virtual
// hidraw nodes through hidapi, or the emulated bus) is the subclass's choice.
#pragma once

#include "app/application.h"
#include "sim/emulated_adapter.h"
#include "support/record_builders.h"
#include "support/recorded_prompts.h"
#include "support/update_dialog_controls.h"
#include "ui/firmware_update_dialog.h"
#include "ui/main_window.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

namespace vestra7 {

// Readable texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

class ProgramTest : public testing::Test
{
protected:
    using Bytes = std::vector<std::uint8_t>;

    // No box of the program's own may have waited for a user; then the program stops, before
    // whatever its devices come from goes.
    void TearDown() override;

    // Where the program finds its devices.
    virtual Adapter::BackendFactory backend() = 0;
    // Plugs `adapter` in, where backend() finds it.
    virtual void plug() = 0;

    // Builds the program and shows its main window, as its start does. Must come after any change of
    // `adapter` that has to be seen at the first scan.
    void startProgram();
    // Plugs the adapter in, starts the program and waits until the adapter's record is shown.
    void startConnected();
    // The same with the adapter holding `record`, the main window then the active one, as the user
    // would have it before typing.
    void startActive(const DeviceRecord &record);

    // The main window shows a claimed adapter in normal mode: enabled, its overlay hidden.
    bool connectedOnScreen();
    // Connected on screen, and a record received since has been shown.
    bool waitConnected();
    // Runs the event loop until the main window has shown `count` more records.
    bool waitForRefreshes(int count, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Waits with the event loop running until the adapter's state satisfies `condition`: the program
    // needs the GUI thread while the adapter is waited for.
    bool waitForAdapter(const std::function<bool(const AdapterState &)> &condition,
                        std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Looks at the adapter's state in place, without copying what it has received.
    bool adapterNow(const std::function<bool(const AdapterState &)> &condition) const;

    // Chooses the menu entry "Update firmware" and runs `body` while the update window is shown
    // modally. If `body` leaves it open (a failed assertion), "Close" ends it, so the test goes on.
    void whileUpdateWindowOpen(const std::function<void()> &body);

    template <class T> T *child(const char *name)
    {
        T *found = window().findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    MainWindow &window() { return app->mainWindow(); }
    FirmwareUpdateDialog &updateDialog() { return app->updateDialog(); }
    UpdateDialogControls updateControls() { return UpdateDialogControls(updateDialog()); }
    Adapter &link() { return app->adapter(); }

    std::shared_ptr<EmulatedAdapter> adapter = std::make_shared<EmulatedAdapter>();
    std::unique_ptr<Application> app;

    // Records the main window has shown so far, and what runs on the GUI thread right after each.
    int refreshes = 0;
    std::function<void()> afterRefresh;

    // True: the program keeps its own modal boxes and file dialogs, for a test that answers them as a
    // person does. False: the recorders below take their place, and any other box of the program's
    // is noted and closed, since no user is there to answer it, unless the test has a BoxAnswerer
    // for it. Set before startProgram().
    bool realPrompts = false;
    // The confirmation boxes' questions, each answered with `confirmAnswer`.
    QStringList questions;
    bool confirmAnswer = true;
    // The update window's file dialog and message boxes.
    RecordedPrompts prompts;
    QStringList unexpectedBoxes;

    QTemporaryDir folder;

private:
    void replacePrompts();
    void guardAgainstBoxes();

    QTimer m_boxGuard;
};

// Writes `bytes` to `path`; false when that failed.
bool writeFile(const QString &path, const std::vector<std::uint8_t> &bytes);
// The payload of an update file: everything from the offset in its first two bytes.
std::vector<std::uint8_t> payloadOf(const std::vector<std::uint8_t> &updateFile);
// What the boot loader holds after `payload` went in 544-byte chunks, the last one padded with zeros.
std::vector<std::uint8_t> chunkedImage(const std::vector<std::uint8_t> &payload);

} // namespace vestra7
