// The firmware update's way to the adapter through the device link.
#pragma once

#include "link/update_port.h"

class DeviceLink;

class LinkUpdatePort final : public UpdatePort
{
public:
    explicit LinkUpdatePort(DeviceLink &link);

    void post(std::uint8_t cmd, std::span<const std::uint8_t> payload) override;
    void setBootMode(bool bootMode) override;

private:
    DeviceLink &m_link;
};
