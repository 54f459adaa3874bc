// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver fed any sequence of input reports: any length, any marker, any trailer.
#include "link/commands.h"
#include "link/frame.h"
#include "link/receiver.h"
#include "model/device_record.h"

#include <cstdlib>

using namespace vestra7;

namespace {

class CheckingSink final : public MessageSink
{
public:
    void recordReceived(std::uint8_t cmd, std::span<const std::uint8_t> record) override
    {
        // A record is stored whole or not at all.
        if ((cmd != CMD_POLL && cmd != CMD_WRITE_RECORD) || (!record.empty() && record.size() != kRecordSize))
            std::abort();
        m_sum += record.empty() ? 0 : record.front() + record.back();
    }
    void textReceived() override {}
    void updateReplyReceived(std::uint8_t cmd, std::span<const std::uint8_t> payload) override
    {
        if (!isUpdateCommand(cmd) || payload.size() > kMaxMessageSize)
            std::abort();
        for (std::uint8_t byte : payload) // every byte handed out must be readable
            m_sum += byte;
    }

private:
    unsigned m_sum = 0;
};

} // namespace

// Each report is a length byte (up to 80) followed by that many bytes; the report-ID byte is not
// part of it, as the HID layer hands it over.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    CheckingSink sink;
    Receiver receiver(sink);
    std::size_t at = 0;
    while (at < size) {
        const std::size_t length = std::min<std::size_t>(data[at] % 81, size - at - 1);
        ++at;
        receiver.takeReport({data + at, length});
        at += length;
    }
    return 0;
}
