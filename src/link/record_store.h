// Where checked messages from the adapter end up: the local record, the refresh flag, the update window.
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

    void setUpdateReplyHandler(UpdateReplyHandler handler) { m_uret = std::move(handler); }

    void recordReceived(std::uint8_t cmd, std::span<const std::uint8_t> record) override;
    void textReceived() override;
    void updateReplyReceived(std::uint8_t cmd, std::span<const std::uint8_t> payload) override;

private:
    DeviceRecord &m_record;
    Mailbox &m_mailbox;
    UpdateReplyHandler m_uret;
};
