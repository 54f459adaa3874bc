// The program's test fixture over virtual hidraw nodes.
#include "program_fixture.h"

#include "link/hidapi_backend.h"
#include "support/gui_wait.h"
#include "ui/update_image.h"
#include "widgets/cap_progress.h"

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
    // The same refresh the program runs, watched.
    link().setRefresh([this] {
        window().Refresh();
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
        TCapProgress *bar = updateWindow().pb;
        updateMessages.push_back({text, bar->value(), bar->cap()->text()});
    };
    updateWindow().setPrompts(prompts);
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
    auto *veil = child<QWidget>("veil");
    if (!waitUntil([&] { return link().connected() && !veil->isVisible(); }))
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
        if (updateWindow().isVisible())
            updateWindow().cancel->click();
    });
    child<QAction>("UPD")->trigger();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(updateWindow().isVisible());
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
    image.resize((payload.size() + kFwChunkSize - 1) / kFwChunkSize * kFwChunkSize, 0);
    return image;
}
