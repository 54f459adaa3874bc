// Posting into the link's mailbox and setting its boot mode for the firmware update.
#include "link/link_update_port.h"

#include "link/device_link.h"

LinkUpdatePort::LinkUpdatePort(DeviceLink &link)
    : m_link(link)
{
}

void LinkUpdatePort::post(std::uint8_t cmd, std::span<const std::uint8_t> payload)
{
    m_link.post(cmd, payload.empty() ? nullptr : payload.data(), static_cast<std::uint16_t>(payload.size()));
}

void LinkUpdatePort::setBootMode(bool bootMode)
{
    m_link.boot_mode = bootMode;
}
