// SPDX-License-Identifier: GPL-3.0-or-later
// The adapter's record with the user's pending changes on top, and the writes that carry them.
#include "link/record_store.h"

#include "link/commands.h"
#include "link/logging.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace vestra7 {

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

// The parts of the record a change writes, as bits.
enum Fields : unsigned {
    kActiveLine = 1u << 0,
    kSubscribers = 1u << 1,
    kContacts = 1u << 2,
    kCallList = 1u << 3,
    kGains = 1u << 4,
    kAutoAnswer = 1u << 5,
    kAllFields = ~0u,
};

unsigned fieldsWritten(const Change &value)
{
    return std::visit(
        [](const auto &c) -> unsigned {
            using C = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<C, change::SetActiveLine>)
                return kActiveLine;
            else if constexpr (std::is_same_v<C, change::SelectParty>)
                return kSubscribers | kActiveLine; // the party goes to the line active at the time
            else if constexpr (std::is_same_v<C, change::Call> || std::is_same_v<C, change::HangUp>)
                return kSubscribers;
            else if constexpr (std::is_same_v<C, change::StoreContact> || std::is_same_v<C, change::DeleteContact> ||
                               std::is_same_v<C, change::ImportContacts>)
                return kContacts;
            else if constexpr (std::is_same_v<C, change::DeleteCall>)
                return kCallList;
            else if constexpr (std::is_same_v<C, change::SetMicGain> || std::is_same_v<C, change::SetLineGain>)
                return kGains;
            else if constexpr (std::is_same_v<C, change::SetAutoAnswer>)
                return kAutoAnswer;
            else
                return kAllFields;
        },
        value);
}

} // namespace

RecordStore::RecordStore(Mailbox &mailbox, QObject *parent)
    : QObject(parent)
    , m_mailbox(mailbox)
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
        m_mailbox.post(Command::WriteRecord, written.bytes().data(), static_cast<std::uint16_t>(kRecordSize), origin);
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
        // as held once the later one is. The pending changes are applied again on every record: a
        // change the adapter holds stays while an earlier one that writes the same fields does (a
        // press whose reply is missing, before a phone-book row picked for the same line), or the
        // earlier one would write over it.
        const DeviceRecord sent = m_record;
        unsigned stillWritten = 0;
        std::erase_if(m_pending, [&](const Pending &pending) {
            const bool delivered = !callRequest(pending.change) || pending.write <= answered;
            const unsigned fields = fieldsWritten(pending.change);
            if (delivered && (fields & stillWritten) == 0 && holdsChange(m_base, sent, pending.change))
                return true;
            stillWritten |= fields;
            return false;
        });
        // With every write answered, or given up, the adapter's record is what it holds.
        const bool dropped = !m_pending.empty() && !m_mailbox.awaitingWriteReply();
        if (dropped)
            m_pending.clear();
        compose();
        if (dropped || (latestAnswered && m_pending.empty()))
            emit writeEnded(!dropped);
    }
    emit recordArrived();
}

void RecordStore::textReceived()
{
    emit recordArrived();
}

void RecordStore::updateReplyReceived(std::uint8_t cmd, std::span<const std::uint8_t> payload)
{
    emit updateReplyArrived(cmd, payload);
}

} // namespace vestra7
