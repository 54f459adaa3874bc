// SPDX-License-Identifier: GPL-3.0-or-later
// The single request slot between the GUI thread and the worker, with the flags around it.
#pragma once

#include "link/commands.h"
#include "link/request.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace vestra7 {

// One slot, no queue: a new request replaces one the worker has not taken yet. Everything is read
// and written under one lock, so the worker never sees half of a request and a request posted
// during a send is never lost.
//
// The mailbox also keeps count of the record writes. Each write carrying a new change is numbered;
// the adapter confirms a write with its reply, and replies come in the order of the writes. A write
// whose reply does not come is sent again (a report lost on the way loses the whole message), until
// its reply comes or, after some seconds of trying, the writes are no longer awaited.
class Mailbox
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Far above a reply's round trip (some tens of milliseconds), so that a reply on its way is
    // not answered with a second write.
    static constexpr std::chrono::milliseconds kResendAfter{500};
    static constexpr std::chrono::milliseconds kGiveUpAfter{10000};

    // A record write carrying a new change, or the same content sent again.
    enum class Origin { Change, Resend };

    // The number of a record write: how many changes had been posted with it. A repeat carries the
    // number of the change it repeats; 0 is before the first change.
    using WriteNumber = std::uint64_t;

    explicit Mailbox(Clock clock = std::chrono::steady_clock::now);

    // GUI thread. Copies the payload, so that the worker sends the state of this moment even if the
    // poster's storage changes while it is being sent. A record write that replaces one not yet
    // taken keeps that one's call or hang-up requests where it has none, so that no request is lost
    // unsent. Returns the write's number (0 for other messages).
    WriteNumber post(Command command, const std::uint8_t *data, std::uint16_t len, Origin origin = Origin::Change);
    // GUI thread. Posts a poll only into an empty slot, so that a poll never replaces a change.
    bool postPoll();
    // GUI thread, when a record message has arrived. True when it is the reply that confirms the
    // latest change: no newer change was sent after the write it answers, nor waits in the slot.
    bool takeRecord(std::uint8_t cmd);
    // The number of the newest change whose write has had its reply.
    WriteNumber answeredChange() const;
    // GUI thread: whether the last record write has gone unanswered long enough to be sent again.
    bool resendDue() const;
    // GUI thread, when the adapter the writes went to is gone: nothing is awaited any more.
    void forgetWrites();
    // Whether a record write waits in the slot, or is still waiting for its reply; false once the
    // last write is answered or given up, when the adapter's record is what it holds.
    bool awaitingWriteReply() const;

    // Worker thread. Blocks until a request is pending, or stop() was called; returns false once
    // stopped.
    bool waitForWork();
    // Worker thread. Takes the request and clears request_pending in one step. The request's data
    // stays valid until the next takeRequest().
    std::optional<Request> takeRequest();
    // Worker thread, after the send: the number of bytes written.
    void sendFinished(std::uint8_t cmd, std::uint16_t written);

    void stop();

    bool requestPending() const;
    bool sending() const;
    // What the slot holds now, pending or already taken, with a copy of its payload.
    struct Snapshot
    {
        std::uint8_t cmd;
        std::vector<std::uint8_t> payload;
        std::uint8_t result;
    };
    Snapshot snapshot() const;

private:
    bool recordWriteOutstanding() const;
    bool stillTrying() const;

    Clock m_clock;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    Request m_request;
    std::vector<std::uint8_t> m_payload;  // the posted payload, owned by the slot
    std::vector<std::uint8_t> m_inFlight; // the payload of the request the worker took
    Origin m_origin = Origin::Change;     // of the request in the slot
    bool m_requestPending = false;
    bool m_sending = false;
    bool m_stopped = false;
    struct SentWrite
    {
        Origin origin;
        WriteNumber number;
    };
    WriteNumber m_slotNumber = 0; // of the record write in the slot
    WriteNumber m_changesPosted = 0;
    WriteNumber m_answered = 0;
    std::deque<SentWrite> m_sentWrites; // record writes sent whose replies have not come, oldest first
    std::chrono::steady_clock::time_point m_lastWriteTaken;
    std::chrono::steady_clock::time_point m_lastChangePosted;
};

} // namespace vestra7
