// SPDX-License-Identifier: GPL-3.0-or-later
// A HID backend that hands every call to another one and logs each report that goes through. It
// overrides every call of the interface: one left to its default would change what the program does
// when traced.
#pragma once

#include "link/hid_backend.h"

#include <memory>

namespace vestra7 {

class ReportTrace;

class TracingBackend final : public HidBackend
{
public:
    TracingBackend(std::unique_ptr<HidBackend> inner, std::shared_ptr<ReportTrace> trace);

    std::vector<HidDeviceInfo> scan() override;
    Result<std::unique_ptr<HidConnection>> open(const QString &instance) override;
    void watchChanges(std::function<void()> onChange) override;
    std::vector<HidDeviceEvent> takeEvents() override;
    QString lockScope() const override;

private:
    std::unique_ptr<HidBackend> m_inner;
    std::shared_ptr<ReportTrace> m_trace;
};

} // namespace vestra7
