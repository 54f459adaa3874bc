// SPDX-License-Identifier: GPL-3.0-or-later
// Storing received records without undoing the user's changes.
#include "link/record_store.h"

#include "link/mailbox.h"
#include "model/device_record.h"

RecordStore::RecordStore(DeviceRecord &record, Mailbox &mailbox)
    : m_record(record)
    , m_mailbox(mailbox)
{
}

void RecordStore::recordReceived(std::uint8_t cmd, std::span<const std::uint8_t> record)
{
    if (!record.empty()) {
        // A record older than the user's last change is not shown: the reply to that change follows.
        if (!m_mailbox.acceptsRecord(cmd))
            return;
        overwritePrefix(m_record, record);
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
