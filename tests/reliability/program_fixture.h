// The whole program (the Application: link, main window and update window) over an emulated adapter
// on an emulated bus, with its HID handles tracked and a guard against message boxes that would
// wait for a user.
#pragma once

#include "tracking_backend.h"
#include "update/update_test_window.h"

#include "app/application.h"
#include "sim/emulated_adapter.h"
#include "sim/emulated_bus.h"
#include "ui/main_window.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

class ProgramTest : public testing::Test
{
protected:
    ProgramTest();
    // No message box may have come up, and no handle may have been closed under a call.
    void TearDown() override;

    // Plugs the adapter in, shows the main window and waits until it shows the adapter's record.
    void startProgram();
    // The main window shows a claimed adapter in normal mode: enabled, its overlay hidden.
    bool connectedOnScreen();
    // Runs the event loop until Refresh has run `count` more times.
    bool waitForRefreshes(int count, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Looks at the adapter's state in place, without copying what it has received.
    bool adapterNow(const std::function<bool(const AdapterState &)> &condition) const;
    // Takes the adapter out from a thread of its own, as the system reports a removal, and returns
    // once it is out.
    void unplugFromAnotherThread();

    template <class T> T *child(const char *name)
    {
        T *found = app.mainWindow().findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    EmulatedBus bus;
    std::shared_ptr<EmulatedAdapter> adapter = std::make_shared<EmulatedAdapter>();
    std::shared_ptr<HandleLedger> ledger = std::make_shared<HandleLedger>();
    Application app;
    RecordedPrompts prompts;
    // Runs on the GUI thread right after the main window has shown a record.
    std::function<void()> afterRefresh;
    int refreshes = 0;
    QStringList unexpectedBoxes;

private:
    QTimer m_boxGuard;
};

// A duration or count for a long run, from the environment; the short default keeps the test suite quick.
std::chrono::seconds secondsFromEnvironment(const char *name, std::chrono::seconds fallback);
int countFromEnvironment(const char *name, int fallback);
