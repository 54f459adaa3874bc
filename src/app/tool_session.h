// SPDX-License-Identifier: GPL-3.0-or-later
// One adapter as a command without a window drives it: what it has said so far, and the steps the
// commands are made of, each waiting for the adapter's answer.
#pragma once

#include "app/tool_outcome.h"
#include "app/tool_waiter.h"
#include "link/adapter.h"

#include <QObject>

#include <chrono>
#include <optional>

namespace vestra7 {

struct ToolTimeouts
{
    // For the first search, for an adapter to be reached once chosen, and for any answer of the
    // adapter: a record, the confirmation of a write, of a reset, of a chunk.
    std::chrono::milliseconds answer{5000};
    // For the adapter to restart into its boot loader or back into its firmware.
    std::chrono::milliseconds restart{30000};
};

class ToolSession final : public QObject
{
    Q_OBJECT

public:
    ToolSession(Adapter &adapter, ToolWaiter &waiter, ToolTimeouts timeouts);

    Adapter &adapter() const { return m_adapter; }
    FirmwareUpdatePort &firmwareUpdate() const { return m_adapter.firmwareUpdate(); }
    // The first search has run: the adapters present are known, none included.
    bool searched() const { return m_searched; }
    // The adapter with this key, as the last search found it.
    std::optional<PresentAdapter> present(const QString &key) const;

    // Takes the adapter asked for, in its firmware where `firmwareNeeded`.
    ToolStep reach(const PresentAdapter &target, bool firmwareNeeded);
    // A record of the adapter's, sent after this call.
    ToolStep readRecord();
    // Writes the whole record and waits until the adapter's reply holds it.
    ToolStep writeRecord(const QByteArray &bytes);
    // Asks the adapter into its boot loader and waits until it is there.
    ToolStep enterBootLoader(const PresentAdapter &target);
    bool inBootLoader(const PresentAdapter &target) const;
    // Waits for the adapter to come back in its firmware, and takes it again.
    ToolStep returnToFirmware(const PresentAdapter &target);
    bool backInFirmware(const PresentAdapter &target) const;
    // Takes the adapter out of its boot loader and waits for its firmware.
    ToolStep leaveBootLoader(const PresentAdapter &target);
    // Resets the settings from the boot loader; whether the adapter confirmed it in time.
    bool resetSettings();

    // The last transfer's result, once the adapter has told it, and how far it came.
    const std::optional<FirmwareUpdatePort::Outcome> &updateResult() const { return m_updateResult; }
    std::uint64_t updatePosition() const { return m_updatePosition; }
    // Hands the image to the updater; its result and progress start afresh.
    void transfer(FirmwareImage image);

private:
    Adapter &m_adapter;
    ToolWaiter &m_waiter;
    ToolTimeouts m_timeouts;
    bool m_searched = false;
    int m_records = 0;
    QString m_sendFailure;
    bool m_writeFailed = false;
    bool m_settingsReset = false;
    std::optional<FirmwareUpdatePort::Outcome> m_updateResult;
    std::uint64_t m_updatePosition = 0;
};

} // namespace vestra7
