// SPDX-License-Identifier: GPL-3.0-or-later
// The adapter's record with the user's pending changes on top, and the writes that carry them.
#include "link/record_store.h"

#include "link/commands.h"
#include "link/logging.h"

#include <algorithm>
#include <cstring>

namespace {

// What only the adapter writes: the windows show the adapter's own, whatever a change put there.
void keepAdapterFields(DeviceRecord &record, const DeviceRecord &adapter)
{
    std::memcpy(record.usd_txt, adapter.usd_txt, sizeof record.usd_txt);
    std::memcpy(record.resp, adapter.resp, sizeof record.resp);
    std::memcpy(record.sim_pres, adapter.sim_pres, sizeof record.sim_pres);
    std::memcpy(record.rssi, adapter.rssi, sizeof record.rssi);
    std::memcpy(record.stat, adapter.stat, sizeof record.stat);
    std::memcpy(record.ops, adapter.ops, sizeof record.ops);
    std::memcpy(record.ussd_num, adapter.ussd_num, sizeof record.ussd_num);
}

} // namespace

RecordStore::RecordStore(Mailbox &mailbox)
    : m_mailbox(mailbox)
{
}

void RecordStore::make(const Change &change)
{
    m_pending.push_back({change, 0});
    compose();
    qCDebug(lcLink) << "record write";
    post(callRequest(change), Mailbox::Origin::Change);
}

void RecordStore::repeat()
{
    // The repeat carries the user's data again, but no call or hang-up request: the first write
    // may well have reached the adapter, and asking again would place a second call. A request
    // whose write was lost is lost; the user sees the line unchanged and presses again.
    post(std::nullopt, Mailbox::Origin::Resend);
}

void RecordStore::post(std::optional<CallRequest> request, Mailbox::Origin origin)
{
    DeviceRecord written = m_record;
    std::fill(std::begin(written.resp), std::end(written.resp), std::int8_t{0});
    if (request)
        written.resp[request->line] = request->resp;
    const Mailbox::WriteNumber number =
        m_mailbox.post(CMD_WRITE_RECORD, written.bytes().data(), static_cast<std::uint16_t>(kRecordSize), origin);
    if (origin == Mailbox::Origin::Change)
        m_pending.back().write = number;
}

void RecordStore::compose()
{
    m_record = m_base;
    for (const Pending &pending : m_pending)
        apply(m_record, pending.change);
    keepAdapterFields(m_record, m_base);
}

void RecordStore::recordReceived(std::uint8_t cmd, std::span<const std::uint8_t> record)
{
    if (!record.empty()) {
        const bool latestAnswered = m_mailbox.takeRecord(cmd);
        const Mailbox::WriteNumber answered = m_mailbox.answeredChange();
        overwritePrefix(m_base, record);
        // Held against what was last shown and sent, so that a change a later one overwrote counts
        // as held once the later one is. Changes are done in the order they were made: the pending
        // ones are applied again on every record, so a later change the adapter holds stays while an
        // earlier one (a press whose reply is missing) does, or that earlier one would write over it.
        const DeviceRecord sent = m_record;
        const auto notDone = std::find_if(m_pending.begin(), m_pending.end(), [&](const Pending &pending) {
            const bool delivered = !callRequest(pending.change) || pending.write <= answered;
            return !delivered || !holdsChange(m_base, sent, pending.change);
        });
        m_pending.erase(m_pending.begin(), notDone);
        // With every write answered, or given up, the adapter's record is what it holds.
        const bool dropped = !m_pending.empty() && !m_mailbox.awaitingWriteReply();
        if (dropped)
            m_pending.clear();
        compose();
        if (m_writeEnded && (dropped || (latestAnswered && m_pending.empty())))
            m_writeEnded(!dropped);
    }
    if (m_recordArrived)
        m_recordArrived();
}

void RecordStore::textReceived()
{
    if (m_recordArrived)
        m_recordArrived();
}

void RecordStore::updateReplyReceived(std::uint8_t cmd, std::span<const std::uint8_t> payload)
{
    if (m_updateReply)
        m_updateReply(cmd, payload);
}
