// The program under test and its guards.
#include "program_fixture.h"

#include "sim/emulated_backend.h"
#include "support/gui_wait.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QMessageBox>

#include <thread>

ProgramTest::ProgramTest()
    : app([this] { return std::make_unique<TrackingBackend>(std::make_unique<EmulatedBackend>(bus), ledger); })
{
    adapter->setUsbTiming(true);
    // Counted after the window has shown the record: the window connected first.
    QObject::connect(&app.adapter(), &Adapter::recordChanged, &app.mainWindow(), [this] {
        ++refreshes;
        if (afterRefresh)
            afterRefresh();
    });
    app.updateDialog().setPrompts(prompts.prompts(app.updateDialog()));
    app.mainWindow().setConfirmer([](QWidget *, const QString &) { return true; });

    // A box of the program's own waits for a user who is not there: note it and close it.
    QObject::connect(&m_boxGuard, &QTimer::timeout, [this] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            unexpectedBoxes << box->text();
            box->reject();
        }
    });
    m_boxGuard.start(50);
}

void ProgramTest::TearDown()
{
    EXPECT_TRUE(unexpectedBoxes.isEmpty()) << unexpectedBoxes.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(ledger->closedDuringCall(), 0) << "a handle was closed while a call on it was under way";
    // No refresh may run into a window that is going.
    afterRefresh = nullptr;
}

void ProgramTest::startProgram()
{
    bus.plug(adapter);
    app.mainWindow().show();
    ASSERT_TRUE(waitUntil([this] { return connectedOnScreen() && refreshes > 0; }));
}

bool ProgramTest::connectedOnScreen()
{
    const QWidget *overlay = app.mainWindow().findChild<QWidget *>(QStringLiteral("overlay"));
    return overlay != nullptr && !overlay->isVisible() && app.adapter().connected();
}

bool ProgramTest::waitForRefreshes(int count, std::chrono::milliseconds timeout)
{
    const int target = refreshes + count;
    return waitUntil([&] { return refreshes >= target; }, timeout);
}

bool ProgramTest::adapterNow(const std::function<bool(const AdapterState &)> &condition) const
{
    return adapter->waitFor(condition, std::chrono::milliseconds(0));
}

void ProgramTest::unplugFromAnotherThread()
{
    std::thread([this] { adapter->unplug(); }).join();
}

std::chrono::seconds secondsFromEnvironment(const char *name, std::chrono::seconds fallback)
{
    return std::chrono::seconds(countFromEnvironment(name, static_cast<int>(fallback.count())));
}

int countFromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}
