// SPDX-License-Identifier: GPL-3.0-or-later
// The program under test, its recorders and its guard.
#include "support/program_test.h"

#include "model/firmware_image.h"
#include "support/box_answerer.h"
#include "support/gui_wait.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace vestra7 {

void ProgramTest::TearDown()
{
    EXPECT_TRUE(unexpectedBoxes.isEmpty()) << unexpectedBoxes.join(QStringLiteral(" | ")).toStdString();
    // No refresh may run into a window that is going.
    afterRefresh = nullptr;
    m_boxGuard.stop();
    app.reset();
}

void ProgramTest::startProgram()
{
    app = std::make_unique<Application>(backend());
    // Counted after the window has shown the record: the window connected first.
    QObject::connect(&link(), &Adapter::recordChanged, &window(), [this] {
        ++refreshes;
        if (afterRefresh)
            afterRefresh();
    });
    if (!realPrompts) {
        replacePrompts();
        guardAgainstBoxes();
    }
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
}

void ProgramTest::replacePrompts()
{
    window().setConfirmer([this](QWidget *, const QString &question) {
        questions << question;
        return confirmAnswer;
    });
    updateDialog().setPrompts(prompts.prompts(updateDialog()));
}

void ProgramTest::guardAgainstBoxes()
{
    QObject::connect(&m_boxGuard, &QTimer::timeout, [this] {
        if (BoxAnswerer::anyAlive())
            return;
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            unexpectedBoxes << box->text();
            box->reject();
        }
    });
    m_boxGuard.start(50);
}

void ProgramTest::startConnected()
{
    plug();
    startProgram();
    ASSERT_TRUE(waitConnected());
}

void ProgramTest::startActive(const DeviceRecord &record)
{
    adapter->setRecord(record);
    startConnected();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
}

bool ProgramTest::connectedOnScreen()
{
    const auto *overlay = window().findChild<QWidget *>(QStringLiteral("overlay"));
    return overlay != nullptr && !overlay->isVisible() && link().connected();
}

bool ProgramTest::waitConnected()
{
    return waitUntil([this] { return connectedOnScreen(); }) && waitForRefreshes(1);
}

bool ProgramTest::waitForRefreshes(int count, std::chrono::milliseconds timeout)
{
    const int target = refreshes + count;
    return waitUntil([&] { return refreshes >= target; }, timeout);
}

bool ProgramTest::waitForAdapter(const std::function<bool(const AdapterState &)> &condition,
                                 std::chrono::milliseconds timeout)
{
    // The state is copied at each look, image and messages included: look every few milliseconds,
    // not at every event, so that looking does not slow the link down.
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(5);
    for (;;) {
        if (condition(adapter->state()))
            return true;
        if (clock.elapsed() >= timeout.count())
            return false;
        const qint64 next = clock.elapsed() + 5;
        while (clock.elapsed() < next)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

bool ProgramTest::adapterNow(const std::function<bool(const AdapterState &)> &condition) const
{
    return adapter->waitFor(condition, std::chrono::milliseconds(0));
}

void ProgramTest::whileUpdateWindowOpen(const std::function<void()> &body)
{
    bool ran = false;
    // Runs inside the update window's modal loop, which the menu command enters.
    QTimer::singleShot(0, &window(), [&] {
        ran = true;
        body();
        if (updateDialog().isVisible())
            updateControls().closeButton->click();
    });
    child<QAction>("updateFirmwareAction")->trigger();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(updateDialog().isVisible());
}

bool writeFile(const QString &path, const std::vector<std::uint8_t> &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(reinterpret_cast<const char *>(bytes.data()), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
}

std::vector<std::uint8_t> payloadOf(const std::vector<std::uint8_t> &updateFile)
{
    const std::size_t offset = updateFile.at(0) | static_cast<std::size_t>(updateFile.at(1)) << 8;
    return {updateFile.begin() + static_cast<std::ptrdiff_t>(offset), updateFile.end()};
}

std::vector<std::uint8_t> chunkedImage(const std::vector<std::uint8_t> &payload)
{
    std::vector<std::uint8_t> image = payload;
    image.resize((payload.size() + kFirmwareChunkSize - 1) / kFirmwareChunkSize * kFirmwareChunkSize, 0);
    return image;
}

} // namespace vestra7
