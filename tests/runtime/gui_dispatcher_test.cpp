// SPDX-License-Identifier: GPL-3.0-or-later
// Hand-over of work to the GUI thread: synchronous, failure-tolerant, and never a trap at exit.
#include "link/gui_dispatcher.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

namespace vestra7 {

namespace {

// Runs `body` on a thread of its own while the GUI thread keeps processing events.
template <typename Body> auto onOtherThread(Body body)
{
    auto future = std::async(std::launch::async, body);
    while (future.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return future.get();
}

} // namespace

TEST(GuiDispatcher, RunsTheFunctionOnTheGuiThreadAndWaitsForIt)
{
    GuiDispatcher dispatcher;
    QThread *ranOn = nullptr;
    const auto outcome =
        onOtherThread([&] { return dispatcher.runAndWait([&] { ranOn = QThread::currentThread(); }); });
    EXPECT_EQ(outcome, GuiDispatcher::Outcome::Done);
    EXPECT_EQ(ranOn, QThread::currentThread());
}

TEST(GuiDispatcher, AnExceptionComesBackAsFailureAndLaterCallsStillWork)
{
    GuiDispatcher dispatcher;
    const auto failed =
        onOtherThread([&] { return dispatcher.runAndWait([] { throw std::runtime_error("refresh failed"); }); });
    EXPECT_EQ(failed, GuiDispatcher::Outcome::Failed);
    int runs = 0;
    EXPECT_EQ(onOtherThread([&] { return dispatcher.runAndWait([&] { ++runs; }); }), GuiDispatcher::Outcome::Done);
    EXPECT_EQ(runs, 1);
}

TEST(GuiDispatcher, ShutdownReleasesAWaiterTheGuiThreadNoLongerServes)
{
    GuiDispatcher dispatcher;
    std::promise<void> waiting;
    auto result = std::async(std::launch::async, [&] {
        waiting.set_value();
        return dispatcher.runAndWait([] {});
    });
    waiting.get_future().wait();
    // The GUI thread processes no events here, as after the message loop has ended.
    dispatcher.shutdown();
    EXPECT_EQ(result.get(), GuiDispatcher::Outcome::Abandoned);
    EXPECT_EQ(dispatcher.runAndWait([] {}), GuiDispatcher::Outcome::Done) << "the GUI thread itself runs directly";
}

TEST(GuiDispatcher, PostedFunctionsRunInOrder)
{
    GuiDispatcher dispatcher;
    std::vector<int> order;
    onOtherThread([&] {
        for (int i = 0; i < 5; ++i)
            dispatcher.post([&order, i] { order.push_back(i); });
        return dispatcher.runAndWait([] {});
    });
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

// The GUI thread waits, without its event loop, for a thread's last hand-overs: it serves them as
// they come, however late, and goes on once the thread says it is done, or the dispatcher shuts down.
TEST(GuiDispatcher, RunUntilClosedServesEveryHandOverUntilTheThreadIsDone)
{
    for (const bool closes : {true, false}) {
        SCOPED_TRACE(closes ? "closed" : "shut down");
        GuiDispatcher dispatcher;
        std::vector<int> order;
        std::thread last([&] {
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(dispatcher.runAndWait([&order, i] { order.push_back(i); }), GuiDispatcher::Outcome::Done);
            if (closes)
                dispatcher.close();
            else
                dispatcher.shutdown();
        });
        dispatcher.runUntilClosed();
        EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
        last.join();
    }
}

} // namespace vestra7
