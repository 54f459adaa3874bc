// SPDX-License-Identifier: GPL-3.0-or-later
// Reports that belong together reach the GUI thread in one pass, in order, also when their end is lost.
#include "link/report_reader.h"

#include "link/frame.h"
#include "support/gui_wait.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <numeric>

namespace vestra7 {

namespace {

using Bytes = std::vector<std::uint8_t>;

// A device whose input reports are pushed by the test; a read waits for one up to its time-out.
class ScriptedConnection final : public HidConnection
{
public:
    void push(std::uint8_t marker, std::uint8_t tag)
    {
        Bytes report(kReportSize, 0);
        report[1] = marker;
        report[2] = tag;
        {
            const std::lock_guard lock(m_mutex);
            m_reports.push_back(report);
        }
        m_arrived.notify_all();
    }

    HidIoResult write(std::span<const std::uint8_t>) override { return HidIoFailure{}; }
    HidIoResult read(std::span<std::uint8_t> buffer, int timeoutMs) override
    {
        std::unique_lock lock(m_mutex);
        if (!m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !m_reports.empty(); }))
            return std::size_t{0};
        const Bytes report = m_reports.front();
        m_reports.pop_front();
        std::copy(report.begin(), report.end(), buffer.begin());
        return report.size();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::deque<Bytes> m_reports;
};

class ReportGroups : public testing::Test, public ReportSink
{
protected:
    ReportGroups()
    {
        // Counts the passes of the GUI thread's event loop.
        QObject::connect(&m_pass, &QTimer::timeout, [this] { ++m_passes; });
        m_pass.start(0);
    }

    void startReader(ReportReader::GroupEnd groupEnd)
    {
        m_reader = std::make_unique<ReportReader>([this] { return m_connection; }, kReportSize, *this, groupEnd);
    }

    void reportRead(std::uint8_t, std::span<const std::uint8_t> data) override
    {
        handled.push_back({data[1], m_passes});
        if (onReport)
            onReport();
    }

    static bool endsAtTrailer(std::span<const std::uint8_t> data) { return data[0] != kDataMarker; }

    // The tags of the reports handled, and how many passes of the event loop they took.
    std::vector<int> tags() const
    {
        std::vector<int> result;
        for (const auto &[tag, pass] : handled)
            result.push_back(tag);
        return result;
    }
    int passesTaken() const
    {
        std::vector<int> passes;
        for (const auto &[tag, pass] : handled)
            if (passes.empty() || passes.back() != pass)
                passes.push_back(pass);
        return static_cast<int>(passes.size());
    }

    std::shared_ptr<ScriptedConnection> m_connection = std::make_shared<ScriptedConnection>();
    std::vector<std::pair<int, int>> handled;
    std::function<void()> onReport;
    std::unique_ptr<ReportReader> m_reader;

private:
    QTimer m_pass;
    int m_passes = 0;
};

TEST_F(ReportGroups, AMessageGoesOverInOnePassWhenItsTrailerHasCome)
{
    startReader(endsAtTrailer);
    for (std::uint8_t tag = 1; tag <= 29; ++tag)
        m_connection->push(kDataMarker, tag);
    m_connection->push(kTrailerMarker, 30);
    m_connection->push(kTrailerMarker, 31); // a message of a trailer alone
    ASSERT_TRUE(waitUntil([this] { return handled.size() == 31; }));
    std::vector<int> expected(31);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(tags(), expected);
    EXPECT_LE(passesTaken(), 2);
    EXPECT_EQ(handled[0].second, handled[29].second) << "the message's frames and its trailer together";
}

TEST_F(ReportGroups, AGroupWhoseEndIsLostGoesOverAfterAPauseAndALongOneInParts)
{
    startReader(endsAtTrailer);
    m_connection->push(kDataMarker, 1);
    m_connection->push(kDataMarker, 2);
    ASSERT_TRUE(waitUntil([this] { return handled.size() == 2; }));
    EXPECT_EQ(passesTaken(), 1);

    handled.clear();
    for (int tag = 0; tag < 70; ++tag)
        m_connection->push(kDataMarker, static_cast<std::uint8_t>(tag));
    ASSERT_TRUE(waitUntil([this] { return handled.size() == 70; }));
    EXPECT_EQ(handled[0].second, handled[ReportReader::kMaxGroup - 1].second);
    EXPECT_NE(handled[ReportReader::kMaxGroup - 1].second, handled[ReportReader::kMaxGroup].second);
}

TEST_F(ReportGroups, StoppedByAHandlerTheRestOfTheGroupIsNotHandled)
{
    startReader(endsAtTrailer);
    onReport = [this] {
        if (handled.size() == 2)
            m_reader->requestStop();
    };
    m_connection->push(kDataMarker, 1);
    m_connection->push(kDataMarker, 2);
    m_connection->push(kDataMarker, 3);
    m_connection->push(kTrailerMarker, 4);
    ASSERT_TRUE(waitUntil([this] { return m_reader->hasFinished(); }));
    drainPostedEvents();
    EXPECT_EQ(tags(), (std::vector<int>{1, 2}));
}

} // namespace

} // namespace vestra7
