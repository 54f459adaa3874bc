// SPDX-License-Identifier: GPL-3.0-or-later
// The request slot, its flags, and the count of record writes and their replies.
#include "link/mailbox.h"

#include "link/commands.h"
#include "model/device_record.h"

#include <algorithm>
#include <cstddef>

namespace vestra7 {

Mailbox::Mailbox(Clock clock)
    : m_clock(std::move(clock))
{
}

Mailbox::WriteNumber Mailbox::post(Command command, const std::uint8_t *data, std::uint16_t len, Origin origin)
{
    WriteNumber number = 0;
    {
        const std::lock_guard lock(m_mutex);
        const bool write = command == Command::WriteRecord;
        m_origin = write ? origin : Origin::Change;
        if (write && origin == Origin::Change) {
            m_lastChangePosted = m_clock();
            ++m_changesPosted;
        }
        std::vector<std::uint8_t> replaced;
        if (write && m_requestPending && m_request.cmd == CMD_WRITE_RECORD)
            replaced.swap(m_payload);
        if (data != nullptr)
            m_payload.assign(data, data + len);
        else
            m_payload.clear();
        // A request not yet sent is not lost by the write that replaces it.
        if (replaced.size() >= kRecordSize && m_payload.size() >= kRecordSize) {
            for (std::size_t line = 0; line < kLineCount; ++line) {
                std::uint8_t &resp = m_payload[offsetof(DeviceRecord, resp) + line];
                if (resp == 0)
                    resp = replaced[offsetof(DeviceRecord, resp) + line];
            }
        }
        if (write)
            number = m_slotNumber = m_changesPosted;
        m_request.cmd = commandByte(command);
        m_request.data = m_payload.empty() ? nullptr : m_payload.data();
        m_request.len = static_cast<std::uint16_t>(m_payload.size());
        m_requestPending = true;
    }
    m_wake.notify_one();
    return number;
}

bool Mailbox::postPoll()
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_requestPending)
            return false;
        m_payload.clear();
        m_request.cmd = CMD_POLL;
        m_request.data = nullptr;
        m_request.len = 0;
        m_requestPending = true;
    }
    m_wake.notify_one();
    return true;
}

bool Mailbox::stillTrying() const
{
    return !m_sentWrites.empty() && m_clock() - m_lastChangePosted < kGiveUpAfter;
}

bool Mailbox::recordWriteOutstanding() const
{
    return (m_requestPending && m_request.cmd == CMD_WRITE_RECORD) || stillTrying();
}

bool Mailbox::resendDue() const
{
    const std::lock_guard lock(m_mutex);
    return !m_requestPending && stillTrying() && m_clock() - m_lastWriteTaken >= kResendAfter;
}

bool Mailbox::awaitingWriteReply() const
{
    const std::lock_guard lock(m_mutex);
    return recordWriteOutstanding();
}

void Mailbox::forgetWrites()
{
    const std::lock_guard lock(m_mutex);
    m_sentWrites.clear();
}

bool Mailbox::takeRecord(std::uint8_t cmd)
{
    const std::lock_guard lock(m_mutex);
    if (cmd != CMD_WRITE_RECORD || m_sentWrites.empty()) {
        if (!recordWriteOutstanding())
            m_sentWrites.clear(); // given up: the replies still missing are no longer awaited
        return false;
    }
    // Replies come in the order of the writes, so this one answers the oldest write still waiting,
    // or, if replies were lost, a later one. It confirms the latest change only when no newer change
    // was sent after that write, nor waits in the slot.
    m_answered = std::max(m_answered, m_sentWrites.front().number);
    m_sentWrites.pop_front();
    const bool latest = std::none_of(m_sentWrites.begin(), m_sentWrites.end(),
                                     [](const SentWrite &w) { return w.origin == Origin::Change; }) &&
                        !(m_requestPending && m_request.cmd == CMD_WRITE_RECORD);
    if (latest) {
        m_sentWrites.clear(); // what is still awaited are copies of it, or lost replies
        m_answered = m_changesPosted;
    }
    return latest;
}

Mailbox::WriteNumber Mailbox::answeredChange() const
{
    const std::lock_guard lock(m_mutex);
    return m_answered;
}

bool Mailbox::waitForWork()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_stopped || m_requestPending; });
    return !m_stopped;
}

std::optional<Request> Mailbox::takeRequest()
{
    const std::lock_guard lock(m_mutex);
    if (!m_requestPending || m_stopped)
        return std::nullopt;
    m_inFlight.swap(m_payload);
    m_payload.clear();
    Request taken = m_request;
    taken.data = m_inFlight.empty() ? nullptr : m_inFlight.data();
    m_requestPending = false;
    m_sending = true;
    if (taken.cmd == CMD_WRITE_RECORD) {
        // A copy goes out only once the last write's reply is overdue by far more than a round trip,
        // and it carries every change so far: the replies of the earlier copies and of older changes
        // are taken for lost. Kept, each would wait for a reply that never comes, and on a link that
        // loses many replies the writes would be given up although the adapter answers. The change
        // it copies stays awaited, in case its own reply is merely late.
        if (m_origin == Origin::Resend) {
            const WriteNumber copied = m_slotNumber;
            std::erase_if(m_sentWrites,
                          [copied](const SentWrite &w) { return w.origin == Origin::Resend || w.number < copied; });
        }
        // Counted before the send, since the reply may arrive before the send has returned.
        m_sentWrites.push_back({m_origin, m_slotNumber});
        m_lastWriteTaken = m_clock();
    }
    return taken;
}

void Mailbox::sendFinished(std::uint8_t cmd, std::uint16_t written)
{
    const std::lock_guard lock(m_mutex);
    m_sending = false;
    m_request.result = written != 0 ? 1 : 0;
    if (cmd == CMD_WRITE_RECORD && written == 0 && !m_sentWrites.empty())
        m_sentWrites.pop_back(); // nothing went out, so no reply will come
}

void Mailbox::stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_wake.notify_all();
}

bool Mailbox::requestPending() const
{
    const std::lock_guard lock(m_mutex);
    return m_requestPending;
}

bool Mailbox::sending() const
{
    const std::lock_guard lock(m_mutex);
    return m_sending;
}

Mailbox::Snapshot Mailbox::snapshot() const
{
    const std::lock_guard lock(m_mutex);
    const std::vector<std::uint8_t> &payload = m_requestPending ? m_payload : m_inFlight;
    return {m_request.cmd, payload, m_request.result};
}

} // namespace vestra7
