// SPDX-License-Identifier: GPL-3.0-or-later
// One platform HID backend shared by several Adapters, each of which sees only its own adapter.
#pragma once

#include "link/hid_backend.h"

#include <functional>
#include <memory>
#include <vector>

// Each Adapter claims the first adapter its scans list; a view that lists only one adapter keeps it
// on that one whatever else is plugged in. One backend under all views means one device monitor for
// the process, whose every change reaches every view.
class SharedHidBackend final
{
public:
    using Filter = std::function<bool(const HidDeviceInfo &)>;

    explicit SharedHidBackend(std::unique_ptr<HidBackend> backend);
    ~SharedHidBackend();

    SharedHidBackend(const SharedHidBackend &) = delete;
    SharedHidBackend &operator=(const SharedHidBackend &) = delete;

    // Every present HID interface.
    std::vector<HidDeviceInfo> scan();
    // Called on the GUI thread when the devices may have changed, before any view hears of it.
    void watchChanges(std::function<void()> onChange);
    // A backend whose scans list only what `keep` lets through; it must go before this object.
    std::unique_ptr<HidBackend> view(Filter keep);

private:
    class View;
    void onChange();

    std::unique_ptr<HidBackend> m_backend;
    std::function<void()> m_onChange;
    std::vector<View *> m_views;
    bool m_watching = false;
};
