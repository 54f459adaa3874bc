// SPDX-License-Identifier: GPL-3.0-or-later
// Where checked messages from the adapter end up: the adapter's record with the user's pending
// changes on top, the news of its arrival, the update path.
#pragma once

#include "link/mailbox.h"
#include "link/receiver.h"
#include "model/device_record.h"
#include "model/record_change.h"

#include <QObject>

#include <vector>

namespace vestra7 {

// The user's changes are kept as values until the adapter holds them. Every record that arrives is
// the new base, and the changes still pending are applied on top of it: the windows follow the
// adapter (a call coming in, a line's state) while the user's edits still show, and the next write
// carries both. A change is done once a record holds what it wrote in the fields the user may
// write, and a call or hang-up press, besides, once its write has had its reply; and only once
// no earlier change that writes the same fields is still pending. When the adapter has answered
// every write, or the writes are given up, its record is taken as it is.
class RecordStore final : public QObject, public MessageSink
{
    Q_OBJECT

public:
    explicit RecordStore(Mailbox &mailbox, QObject *parent = nullptr);

    // The adapter's last record with the pending changes applied: what the windows show.
    const DeviceRecord &record() const { return m_record; }
    // Applies the change at once and posts the record write that carries it, with the call or
    // hang-up request it asks for; only this first transmission carries the request.
    void make(const Change &change);
    // The record write again, without any request, for a write whose reply is overdue.
    void repeat();

    void recordReceived(std::uint8_t cmd, std::span<const std::uint8_t> record) override;
    void textReceived() override;
    void updateReplyReceived(std::uint8_t cmd, std::span<const std::uint8_t> payload) override;

signals:
    // Every record or text that arrived, also one that left the record as it was.
    void recordArrived();
    // A record ended the writes' wait: `held` when the adapter's reply to the latest change holds
    // every change; false when changes were dropped unheld (the adapter answered otherwise, or the
    // writes were given up).
    void writeEnded(bool held);
    // A reply for the update, with whatever payload it carried; the payload lasts for the call only.
    void updateReplyArrived(std::uint8_t cmd, std::span<const std::uint8_t> payload);

private:
    struct Pending
    {
        Change change;
        Mailbox::WriteNumber write; // the first write that carried it
    };

    void compose();
    void post(std::optional<CallRequest> request, Mailbox::Origin origin);

    Mailbox &m_mailbox;
    DeviceRecord m_base{};   // as the adapter last sent it
    DeviceRecord m_record{}; // m_base with m_pending applied
    std::vector<Pending> m_pending;
};

} // namespace vestra7
