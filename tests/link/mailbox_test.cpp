// SPDX-License-Identifier: GPL-3.0-or-later
// The mailbox: one slot, atomic hand-over to the worker, and the count of writes and their replies.
#include "link/commands.h"
#include "link/mailbox.h"

#include <gtest/gtest.h>

#include <array>

namespace vestra7 {

namespace {

class FakeClock
{
public:
    Mailbox::Clock clock()
    {
        return [this] {
            return m_now;
        };
    }
    void advance(std::chrono::milliseconds by) { m_now += by; }

private:
    std::chrono::steady_clock::time_point m_now{std::chrono::seconds(100)};
};

class MailboxTest : public testing::Test
{
protected:
    // What the worker does with one request, without the I/O.
    std::optional<Request> sendOne(std::uint16_t written = 65)
    {
        std::optional<Request> request = m_mailbox.takeRequest();
        if (request)
            m_mailbox.sendFinished(request->cmd, written);
        return request;
    }

    void postWrite(std::uint8_t marker)
    {
        m_record.fill(marker);
        m_mailbox.post(Command::WriteRecord, m_record.data(), static_cast<std::uint16_t>(m_record.size()));
    }

    FakeClock m_clock;
    Mailbox m_mailbox{m_clock.clock()};
    std::array<std::uint8_t, 1789> m_record{};
};

} // namespace

TEST_F(MailboxTest, ALaterPostReplacesOneNotYetTaken)
{
    m_mailbox.post(Command::EnterBootLoader, nullptr, 0);
    postWrite(7);
    const auto request = m_mailbox.takeRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->cmd, CMD_WRITE_RECORD);
    EXPECT_EQ(request->len, 1789);
    EXPECT_EQ(request->data[1788], 7);
    EXPECT_FALSE(m_mailbox.requestPending());
    EXPECT_FALSE(m_mailbox.takeRequest());
}

TEST_F(MailboxTest, APollNeverReplacesAPendingRequest)
{
    postWrite(1);
    EXPECT_FALSE(m_mailbox.postPoll());
    EXPECT_EQ(m_mailbox.takeRequest()->cmd, CMD_WRITE_RECORD);
    EXPECT_TRUE(m_mailbox.postPoll());
    const auto poll = m_mailbox.takeRequest();
    EXPECT_EQ(poll->cmd, CMD_POLL);
    EXPECT_EQ(poll->data, nullptr);
    EXPECT_EQ(poll->len, 0);
}

TEST_F(MailboxTest, TheTakenPayloadIsTheStateAtPostTime)
{
    postWrite(1);
    m_record.fill(2); // the poster's storage changes afterwards
    const auto request = m_mailbox.takeRequest();
    EXPECT_EQ(request->data[0], 1);

    postWrite(3); // a post while the first is being sent keeps that one intact
    EXPECT_EQ(request->data[0], 1);
    EXPECT_EQ(m_mailbox.takeRequest()->data[0], 3);
}

TEST_F(MailboxTest, ResultTellsWhetherAnythingWasWritten)
{
    m_mailbox.postPoll();
    sendOne(0);
    EXPECT_EQ(m_mailbox.snapshot().result, 0);
    m_mailbox.postPoll();
    sendOne(65);
    EXPECT_EQ(m_mailbox.snapshot().result, 1);
}

TEST_F(MailboxTest, AWriteIsAwaitedFromItsPostUntilItsReply)
{
    postWrite(1);
    EXPECT_TRUE(m_mailbox.awaitingWriteReply()) << "a write waits in the slot";
    sendOne();
    EXPECT_FALSE(m_mailbox.takeRecord(CMD_POLL)) << "a poll's reply sent before the write arrived";
    EXPECT_TRUE(m_mailbox.awaitingWriteReply());
    EXPECT_EQ(m_mailbox.answeredChange(), 0u);
    EXPECT_TRUE(m_mailbox.takeRecord(CMD_WRITE_RECORD)) << "the reply to the write";
    EXPECT_FALSE(m_mailbox.awaitingWriteReply());
    EXPECT_EQ(m_mailbox.answeredChange(), 1u);
}

TEST_F(MailboxTest, ACallRequestNotYetSentSurvivesTheWriteThatReplacesIt)
{
    constexpr std::size_t kRespB = 130;
    m_record.fill(0);
    m_record[kRespB] = 1;
    m_mailbox.post(Command::WriteRecord, m_record.data(), static_cast<std::uint16_t>(m_record.size()));
    postWrite(0);
    std::optional<Request> taken = sendOne();
    EXPECT_EQ(taken->data[kRespB], 1) << "the press still goes out, once";
    EXPECT_EQ(taken->data[0], 0) << "with the newer write's data";

    // Once sent, the request is not carried on.
    postWrite(0);
    EXPECT_EQ(sendOne()->data[kRespB], 0);
}

TEST_F(MailboxTest, OnlyTheReplyToTheLastOfSeveralWritesIsTaken)
{
    postWrite(1);
    sendOne();
    postWrite(2);
    sendOne();
    postWrite(3);
    EXPECT_FALSE(m_mailbox.takeRecord(CMD_WRITE_RECORD)) << "reply to write 1";
    EXPECT_FALSE(m_mailbox.takeRecord(CMD_WRITE_RECORD)) << "reply to write 2, write 3 still waiting";
    EXPECT_EQ(m_mailbox.answeredChange(), 2u);
    sendOne();
    EXPECT_FALSE(m_mailbox.takeRecord(CMD_POLL));
    EXPECT_TRUE(m_mailbox.takeRecord(CMD_WRITE_RECORD)) << "reply to write 3";
    EXPECT_EQ(m_mailbox.answeredChange(), 3u);
}

TEST_F(MailboxTest, AnUnansweredWriteIsDueAgainAndAReplyToAnyCopyConfirmsIt)
{
    postWrite(1);
    EXPECT_FALSE(m_mailbox.resendDue()) << "still in the slot";
    sendOne();
    m_clock.advance(Mailbox::kResendAfter - std::chrono::milliseconds(1));
    EXPECT_FALSE(m_mailbox.resendDue());
    m_clock.advance(std::chrono::milliseconds(1));
    EXPECT_TRUE(m_mailbox.resendDue());

    m_mailbox.post(Command::WriteRecord, m_record.data(), static_cast<std::uint16_t>(m_record.size()),
                   Mailbox::Origin::Resend);
    EXPECT_FALSE(m_mailbox.resendDue());
    sendOne();
    EXPECT_FALSE(m_mailbox.takeRecord(CMD_POLL));
    EXPECT_TRUE(m_mailbox.takeRecord(CMD_WRITE_RECORD)) << "one reply, to either copy, confirms the change";
    EXPECT_FALSE(m_mailbox.resendDue());
    EXPECT_FALSE(m_mailbox.takeRecord(CMD_WRITE_RECORD)) << "the other copy's reply is an ordinary record";
    EXPECT_FALSE(m_mailbox.awaitingWriteReply());
}

TEST_F(MailboxTest, ALateReplyToAnOlderChangeIsNeverTakenForTheNewerOne)
{
    postWrite(1);
    sendOne();
    m_clock.advance(Mailbox::kResendAfter);
    m_mailbox.post(Command::WriteRecord, m_record.data(), static_cast<std::uint16_t>(m_record.size()),
                   Mailbox::Origin::Resend);
    sendOne();
    postWrite(2);
    sendOne();
    EXPECT_FALSE(m_mailbox.takeRecord(CMD_WRITE_RECORD)) << "reply to change 1";
    EXPECT_FALSE(m_mailbox.takeRecord(CMD_WRITE_RECORD)) << "reply to change 1's copy";
    EXPECT_EQ(m_mailbox.answeredChange(), 1u);
    EXPECT_TRUE(m_mailbox.takeRecord(CMD_WRITE_RECORD)) << "reply to change 2";
}

TEST_F(MailboxTest, ALostReplyCostsOneMoreRoundButNeverShowsAnOlderState)
{
    postWrite(1);
    sendOne(); // its reply is lost
    postWrite(2);
    sendOne();
    EXPECT_FALSE(m_mailbox.takeRecord(CMD_WRITE_RECORD)) << "cannot tell it from a reply to change 1";
    m_clock.advance(Mailbox::kResendAfter);
    ASSERT_TRUE(m_mailbox.resendDue());
    m_mailbox.post(Command::WriteRecord, m_record.data(), static_cast<std::uint16_t>(m_record.size()),
                   Mailbox::Origin::Resend);
    sendOne();
    EXPECT_TRUE(m_mailbox.takeRecord(CMD_WRITE_RECORD)) << "only copies of change 2 are left";
    EXPECT_FALSE(m_mailbox.awaitingWriteReply());
}

TEST_F(MailboxTest, ACopyLeavesOnlyItsOwnChangeAwaitedSoOneReplyConfirmsIt)
{
    // Three changes and five copies of the last, every reply lost on the way.
    for (int change = 1; change <= 3; ++change) {
        postWrite(static_cast<std::uint8_t>(change));
        sendOne();
    }
    for (int copy = 0; copy < 5; ++copy) {
        m_clock.advance(Mailbox::kResendAfter);
        ASSERT_TRUE(m_mailbox.resendDue());
        m_mailbox.post(Command::WriteRecord, m_record.data(), static_cast<std::uint16_t>(m_record.size()),
                       Mailbox::Origin::Resend);
        sendOne();
    }
    EXPECT_TRUE(m_mailbox.takeRecord(CMD_WRITE_RECORD)) << "the first reply that comes through";
    EXPECT_EQ(m_mailbox.answeredChange(), 3u);
    EXPECT_FALSE(m_mailbox.awaitingWriteReply());
}

TEST_F(MailboxTest, AfterSomeSecondsOfTryingTheWriteIsNoLongerAwaited)
{
    postWrite(1);
    sendOne();
    m_clock.advance(Mailbox::kGiveUpAfter - std::chrono::milliseconds(1));
    EXPECT_TRUE(m_mailbox.resendDue());
    EXPECT_TRUE(m_mailbox.awaitingWriteReply());
    m_clock.advance(std::chrono::milliseconds(1));
    EXPECT_FALSE(m_mailbox.resendDue());
    EXPECT_FALSE(m_mailbox.awaitingWriteReply());
}

TEST_F(MailboxTest, AGoneAdaptersWritesAreNotAwaited)
{
    postWrite(1);
    sendOne();
    m_mailbox.forgetWrites();
    EXPECT_FALSE(m_mailbox.awaitingWriteReply());
    m_clock.advance(Mailbox::kResendAfter);
    EXPECT_FALSE(m_mailbox.resendDue());
}

TEST_F(MailboxTest, AWriteThatWroteNothingExpectsNoReply)
{
    postWrite(1);
    sendOne(0);
    EXPECT_FALSE(m_mailbox.awaitingWriteReply());
}

TEST_F(MailboxTest, StopEndsTheWaitAndRefusesFurtherWork)
{
    postWrite(1);
    m_mailbox.stop();
    EXPECT_FALSE(m_mailbox.waitForWork());
    EXPECT_FALSE(m_mailbox.takeRequest());
}

} // namespace vestra7
