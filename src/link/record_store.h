// SPDX-License-Identifier: GPL-3.0-or-later
// Where checked messages from the adapter end up: the local record, the news of its arrival, the update path.
#pragma once

#include "link/receiver.h"

#include <functional>

struct DeviceRecord;
class Mailbox;

class RecordStore final : public MessageSink
{
public:
    using UpdateReplyHandler = std::function<void(std::uint8_t cmd, std::span<const std::uint8_t> payload)>;

    RecordStore(DeviceRecord &record, Mailbox &mailbox);

    // Called for every record or text that arrived, also one that left the record as it was.
    void setRecordArrived(std::function<void()> handler) { m_recordArrived = std::move(handler); }
    void setUpdateReplyHandler(UpdateReplyHandler handler) { m_updateReply = std::move(handler); }

    void recordReceived(std::uint8_t cmd, std::span<const std::uint8_t> record) override;
    void textReceived() override;
    void updateReplyReceived(std::uint8_t cmd, std::span<const std::uint8_t> payload) override;

private:
    DeviceRecord &m_record;
    Mailbox &m_mailbox;
    std::function<void()> m_recordArrived;
    UpdateReplyHandler m_updateReply;
};
