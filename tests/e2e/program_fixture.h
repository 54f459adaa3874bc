// The whole program over the real Linux HID path: the application with its windows, hidapi and the
// udev monitor, and the emulated adapter behind a virtual hidraw node at full-speed USB timing.
#pragma once

#include "app/application.h"
#include "sim/emulated_adapter.h"
#include "support/update_dialog_controls.h"
#include "support/virtual_hidraw.h"
#include "ui/firmware_update_dialog.h"
#include "ui/main_window.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

// Readable texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

class ProgramTest : public testing::Test
{
protected:
    using Bytes = std::vector<std::uint8_t>;

    void SetUp() override;
    void TearDown() override;

    // Builds the program and shows its main window, as its start does. Must come after any change of
    // `adapter` that has to be seen at the first scan.
    void startProgram();
    // Plugs the adapter in, starts the program and waits until the adapter's record is shown.
    void startConnected();
    // The same with the adapter holding `record`, the main window then the active one, as the user
    // would have it before typing.
    void startActive(const DeviceRecord &record);
    // The overlay is gone and a record received since has been shown.
    bool waitConnected();
    bool waitForRefreshes(int count);

    // Waits with the event loop running until the adapter's state satisfies `condition`: the program
    // needs the GUI thread while the adapter is waited for.
    bool waitForAdapter(const std::function<bool(const AdapterState &)> &condition,
                        std::chrono::milliseconds timeout = std::chrono::seconds(10));

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

    std::unique_ptr<VirtualHidraw> hidraw;
    std::shared_ptr<EmulatedAdapter> adapter = std::make_shared<EmulatedAdapter>();
    std::unique_ptr<Application> app; // after hidraw: the program lets go of the nodes before they go

    // Refreshes of the main window so far, and what runs right after each.
    int refreshes = 0;
    std::function<void()> afterRefresh;

    // True: the program keeps its own modal boxes and file dialogs, for a test that answers them as a
    // person does. False: the recorders below take their place. Set before startProgram().
    bool realPrompts = false;

    // The confirmation boxes' questions, each answered with `confirmAnswer`.
    QStringList questions;
    bool confirmAnswer = true;

    // The update window's file dialog hands out `updateFile`; its messages are recorded, with the
    // bar's position and caption at the time, and dismissed at once.
    struct UpdateMessage
    {
        QString text;
        int barValue;
        QString barCaption;
    };
    QString updateFile;
    std::vector<UpdateMessage> updateMessages;

    QTemporaryDir folder;

private:
    // Puts the recorders above in place of the program's confirmation boxes, and of the update
    // window's file dialog and message boxes.
    void replacePrompts();
};

// Writes `bytes` to `path`; false when that failed.
bool writeFile(const QString &path, const std::vector<std::uint8_t> &bytes);
// The payload of an update file: everything from the offset in its first two bytes.
std::vector<std::uint8_t> payloadOf(const std::vector<std::uint8_t> &updateFile);
// What the boot loader holds after `payload` went in 544-byte chunks, the last one padded with zeros.
std::vector<std::uint8_t> chunkedImage(const std::vector<std::uint8_t> &payload);
