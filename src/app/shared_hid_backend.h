// SPDX-License-Identifier: GPL-3.0-or-later
// One platform HID backend shared by several Adapters, each of which sees only its own adapter.
#pragma once

#include "link/hid_backend.h"

#include <functional>
#include <memory>
#include <vector>

namespace vestra7 {

// Each Adapter claims the first adapter its scans list; a view that lists only one adapter keeps it
// on that one whatever else is plugged in. One backend under all views means one device monitor for
// the process, whose every change reaches every view.
class SharedHidBackend final
{
public:
    // A present adapter and the key that names it among all those present.
    struct KeyedAdapter
    {
        HidDeviceInfo device;
        QString key;
    };

    explicit SharedHidBackend(std::unique_ptr<HidBackend> backend);
    ~SharedHidBackend();

    SharedHidBackend(const SharedHidBackend &) = delete;
    SharedHidBackend &operator=(const SharedHidBackend &) = delete;

    // Every present adapter, in list order, keyed as every program keys it.
    std::vector<KeyedAdapter> adapters();
    // Called on the GUI thread when the devices may have changed, before any view hears of it.
    void watchChanges(std::function<void()> onChange);
    // A backend whose scans list only the adapter with this key; it must go before this object. It
    // names no lock scope, so the Adapter over it takes no lock: the key it would compute among the
    // one adapter it sees is the bare serial number, which is not the key of adapters that share
    // one. The owner of the views locks each adapter itself, in this scope, under its key among all.
    std::unique_ptr<HidBackend> view(const QString &key);
    // The scope of the adapters' locks; empty where the devices need none.
    QString lockScope() const { return m_backend->lockScope(); }

private:
    class View;
    void onChange();

    std::unique_ptr<HidBackend> m_backend;
    std::function<void()> m_onChange;
    std::vector<View *> m_views;
    bool m_watching = false;
};

} // namespace vestra7
