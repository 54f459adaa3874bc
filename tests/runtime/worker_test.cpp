// SPDX-License-Identifier: GPL-3.0-or-later
// The worker: serves the slot without losing requests, reports write errors, and stops promptly.
#include "link/commands.h"
#include "link/frame.h"
#include "link/gui_dispatcher.h"
#include "link/link_worker.h"
#include "link/mailbox.h"
#include "link/report_writer.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace vestra7 {

namespace {

// Records every report; can hold the first write until released, to post during a send.
class BlockingWriter : public ReportWriter
{
public:
    std::size_t outputReportLength() override { return kReportSize; }
    Result<std::size_t> writeReport(std::span<const std::uint8_t> report) override
    {
        std::unique_lock lock(m_mutex);
        m_reports.emplace_back(report.begin(), report.end());
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_holding; });
        if (m_failing)
            return Error{"write failed"};
        return report.size();
    }

    void hold(bool holding)
    {
        const std::lock_guard lock(m_mutex);
        m_holding = holding;
        m_changed.notify_all();
    }
    void fail() { m_failing = true; }
    void waitForReports(std::size_t count)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_reports.size() >= count; });
    }
    std::vector<std::uint8_t> commands()
    {
        const std::lock_guard lock(m_mutex);
        std::vector<std::uint8_t> out;
        for (const auto &report : m_reports)
            if (report[1] == kTrailerMarker)
                out.push_back(report[6]);
        return out;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::vector<std::uint8_t>> m_reports;
    bool m_holding = false;
    bool m_failing = false;
};

class WorkerTest : public testing::Test
{
protected:
    void start(ReportWriter *writer)
    {
        m_worker = std::make_unique<LinkWorker>(m_mailbox, m_gui, [writer] { return writer; });
        QObject::connect(m_worker.get(), &LinkWorker::sendFailed, [this](const QString &text) { m_failures << text; });
        m_worker->start();
    }

    void TearDown() override
    {
        if (m_worker) {
            m_worker->requestTerminate();
            m_gui.shutdown();
            ASSERT_TRUE(m_worker->wait(std::chrono::seconds(5)));
        }
    }

    Mailbox m_mailbox;
    GuiDispatcher m_gui;
    std::unique_ptr<LinkWorker> m_worker;
    QStringList m_failures;
};

} // namespace

TEST_F(WorkerTest, APollIsWrittenAsOneReport)
{
    BlockingWriter writer;
    start(&writer);
    m_mailbox.postPoll();
    writer.waitForReports(1);
    EXPECT_EQ(writer.commands(), std::vector<std::uint8_t>{CMD_POLL});
    QTRY_VERIFY(!m_mailbox.sending());
    EXPECT_EQ(m_mailbox.snapshot().result, 1);
}

TEST_F(WorkerTest, WithoutAnAdapterRequestsAreTakenAndDropped)
{
    start(nullptr);
    m_mailbox.postPoll();
    QTRY_VERIFY(!m_mailbox.requestPending() && !m_mailbox.sending());
    EXPECT_EQ(m_mailbox.snapshot().result, 0);
    EXPECT_TRUE(m_failures.isEmpty());
}

TEST_F(WorkerTest, ARequestPostedDuringASendIsSentAfterIt)
{
    BlockingWriter writer;
    writer.hold(true);
    start(&writer);
    m_mailbox.postPoll();
    writer.waitForReports(1);
    m_mailbox.post(Command::ResetSettings, nullptr, 0);
    writer.hold(false);
    writer.waitForReports(2);
    EXPECT_EQ(writer.commands(), (std::vector<std::uint8_t>{CMD_POLL, CMD_RESET_SETTINGS}));
}

TEST_F(WorkerTest, AWriteErrorIsReportedOnTheGuiThreadAndTheWorkerGoesOn)
{
    BlockingWriter writer;
    writer.fail();
    start(&writer);
    m_mailbox.post(Command::WriteRecord, nullptr, 0);
    QTRY_COMPARE(m_failures.size(), 1);
    EXPECT_EQ(m_failures.front(), QStringLiteral("write failed"));
    m_mailbox.postPoll();
    QTRY_COMPARE(m_failures.size(), 2);
}

TEST_F(WorkerTest, NoSendStartsAfterTheTerminateFlag)
{
    BlockingWriter writer;
    start(&writer);
    m_worker->requestTerminate();
    ASSERT_TRUE(m_worker->wait(std::chrono::seconds(1)));
    m_mailbox.postPoll();
    EXPECT_TRUE(writer.commands().empty());
}

} // namespace vestra7
