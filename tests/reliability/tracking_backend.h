// SPDX-License-Identifier: GPL-3.0-or-later
// A HID backend that hands every call on to another one and keeps a ledger of the handles it
// opened, so that tests can see a handle closed while a thread was still inside a call on it, or
// left open after its device was gone, and can step in at a chosen moment of a write or a read.
#pragma once

#include "link/hid_backend.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace vestra7 {

class HandleLedger
{
public:
    int openHandles() const { return m_open.load(); }
    int handlesOpened() const { return m_opened.load(); }
    // Handles destroyed while a thread was inside a call on them: must stay 0.
    int closedDuringCall() const { return m_closedDuringCall.load(); }

    // `action` runs once, on the writing thread, just before report `reportIndex` (counted from 0)
    // of the next message that carries data frames is written.
    void armWrite(int reportIndex, std::function<void()> action);
    // `action` runs once, on the reading thread, as the next read begins.
    void armRead(std::function<void()> action);

private:
    friend class TrackedConnection;

    std::function<void()> takeWriteAction(int reportIndex, bool messageHasData);
    std::function<void()> takeReadAction();

    std::atomic<int> m_open{0};
    std::atomic<int> m_opened{0};
    std::atomic<int> m_closedDuringCall{0};
    std::mutex m_mutex;
    int m_writeIndex = -1;
    std::function<void()> m_writeAction;
    std::function<void()> m_readAction;
};

class TrackingBackend final : public HidBackend
{
public:
    TrackingBackend(std::unique_ptr<HidBackend> inner, std::shared_ptr<HandleLedger> ledger);

    std::vector<HidDeviceInfo> scan() override;
    Result<std::unique_ptr<HidConnection>> open(const QString &instance) override;
    void watchChanges(std::function<void()> onChange) override;
    std::vector<HidDeviceEvent> takeEvents() override;
    QString lockScope() const override;

private:
    std::unique_ptr<HidBackend> m_inner;
    std::shared_ptr<HandleLedger> m_ledger;
};

} // namespace vestra7
