// The program's test fixture over virtual hidraw nodes.
#include "program_fixture.h"

#include "link/hidapi_backend.h"
#include "model/firmware_image.h"
#include "support/gui_wait.h"
#include "widgets/captioned_progress_bar.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

void ProgramTest::SetUp()
{
    if (!VirtualHidraw::isAvailable())
        GTEST_SKIP() << "runs under umockdev-wrapper";
    ASSERT_TRUE(folder.isValid());
    hidraw = std::make_unique<VirtualHidraw>();
    adapter->setUsbTiming(true);
}

void ProgramTest::TearDown()
{
    // The program goes first: its threads stop before the windows and the nodes they use.
    app.reset();
    hidraw.reset();
}

void ProgramTest::startProgram()
{
    app = std::make_unique<Application>([] { return std::make_unique<HidapiBackend>(); });
    // Counted after the window has shown the record: the window connected first.
    QObject::connect(&link(), &Adapter::recordChanged, &window(), [this] {
        ++refreshes;
        if (afterRefresh)
            afterRefresh();
    });
    if (!realPrompts)
        replacePrompts();

    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
}

void ProgramTest::replacePrompts()
{
    window().setConfirmer([this](QWidget *, const QString &question) {
        questions << question;
        return confirmAnswer;
    });
    UpdatePrompts prompts;
    prompts.chooseFile = [this](QFileDialog &) {
        return updateFile;
    };
    prompts.showMessage = [this](QWidget *, QMessageBox::Icon, const QString &text) {
        CaptionedProgressBar *bar = updateControls().progressBar;
        updateMessages.push_back({text, bar->value(), bar->captionLabel()->text()});
    };
    updateDialog().setPrompts(prompts);
}

void ProgramTest::startConnected()
{
    hidraw->plug(adapter);
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

bool ProgramTest::waitConnected()
{
    auto *overlay = child<QWidget>("overlay");
    if (!waitUntil([&] { return link().connected() && !overlay->isVisible(); }))
        return false;
    return waitForRefreshes(refreshes + 1);
}

bool ProgramTest::waitForRefreshes(int count)
{
    return waitUntil([&] { return refreshes >= count; });
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
