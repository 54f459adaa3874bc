// SPDX-License-Identifier: GPL-3.0-or-later
// The shared backend and its filtered views.
#include "app/shared_hid_backend.h"

#include "link/adapter.h"
#include "link/adapter_key.h"

#include <algorithm>

namespace vestra7 {

class SharedHidBackend::View final : public HidBackend
{
public:
    View(SharedHidBackend &shared, QString key)
        : m_shared(shared)
        , m_key(std::move(key))
    {
        m_shared.m_views.push_back(this);
    }

    ~View() override { std::erase(m_shared.m_views, this); }

    std::vector<HidDeviceInfo> scan() override
    {
        std::vector<HidDeviceInfo> devices;
        for (KeyedAdapter &adapter : m_shared.adapters())
            if (adapter.key == m_key)
                devices.push_back(std::move(adapter.device));
        return devices;
    }

    Result<std::unique_ptr<HidConnection>> open(const QString &instance) override
    {
        return m_shared.m_backend->open(instance);
    }

    void watchChanges(std::function<void()> onChange) override { m_onChange = std::move(onChange); }

    std::vector<HidDeviceEvent> takeEvents() override { return std::exchange(m_events, {}); }

    void changed(const std::vector<HidDeviceEvent> &events)
    {
        m_events.insert(m_events.end(), events.begin(), events.end());
        if (m_onChange)
            m_onChange();
    }

private:
    SharedHidBackend &m_shared;
    const QString m_key;
    std::function<void()> m_onChange;
    std::vector<HidDeviceEvent> m_events; // announced since this view's last scan
};

SharedHidBackend::SharedHidBackend(std::unique_ptr<HidBackend> backend)
    : m_backend(std::move(backend))
{
}

SharedHidBackend::~SharedHidBackend() = default;

std::vector<SharedHidBackend::KeyedAdapter> SharedHidBackend::adapters()
{
    std::vector<KeyedAdapter> adapters;
    std::vector<AdapterAddress> addresses;
    for (HidDeviceInfo &device : m_backend->scan()) {
        if (!isAdapterManufacturer(device.manufacturer))
            continue;
        addresses.push_back({device.serialNumber, device.port});
        adapters.push_back({std::move(device), {}});
    }
    const std::vector<QString> keys = adapterKeys(addresses);
    for (std::size_t i = 0; i < adapters.size(); ++i)
        adapters[i].key = keys[i];
    return adapters;
}

void SharedHidBackend::watchChanges(std::function<void()> onChange)
{
    m_onChange = std::move(onChange);
    if (!std::exchange(m_watching, true))
        m_backend->watchChanges([this] { this->onChange(); });
}

std::unique_ptr<HidBackend> SharedHidBackend::view(const QString &key)
{
    return std::make_unique<View>(*this, key);
}

void SharedHidBackend::onChange()
{
    // Each view takes every event once, before its own next scan.
    const std::vector<HidDeviceEvent> events = m_backend->takeEvents();
    if (m_onChange)
        m_onChange();
    // A view may go while another is told: tell a copy of the list, and only those still there.
    const std::vector<View *> views = m_views;
    for (View *view : views)
        if (std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->changed(events);
}

} // namespace vestra7
