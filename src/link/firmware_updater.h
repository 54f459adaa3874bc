// SPDX-License-Identifier: GPL-3.0-or-later
// The firmware update as a state machine: waking the boot loader, the acknowledged transfer of an
// update image, its result and the way out, driven by its own tick and by the adapter's replies.
#pragma once

#include "model/firmware_image.h"
#include "ports/firmware_update_port.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>

namespace vestra7 {

class TickTimer;
class UpdatePort;

// Lives for the whole run and knows no widget. It sends through its port only; the link tells it
// about the claimed adapter and hands it every reply from 240 up; its clients call its verbs and
// observe its signals.
//
// While it holds the adapter and the adapter runs its firmware, each tick asks the adapter to
// restart into its boot loader. Once an image is handed over, the next tick sends its first chunk;
// each chunk waits for its acknowledgement, which sends the next one at once, and a chunk without
// one goes again at the next tick. Past the end of the image the end of the update goes out, and its
// reply carries the result.
class FirmwareUpdater final : public FirmwareUpdatePort
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kFirstTick{500};
    // The tick's ordinary interval, and so the time a chunk may wait for its acknowledgement before
    // it goes again.
    static constexpr std::chrono::milliseconds kResendAfter{200};
    // From the dismissal of the result to the end of the update.
    static constexpr std::chrono::milliseconds kCloseDelay{100};

    // The first tick comes kFirstTick after creation.
    FirmwareUpdater(UpdatePort &port, std::unique_ptr<TickTimer> timer, QObject *parent = nullptr);
    ~FirmwareUpdater() override;

    // From the link: an enumeration claimed the adapter (again, or a new one), in its boot loader or
    // its firmware; the claimed adapter left the bus or gave way to another one; a reply whose code
    // is 240 or above, `data` valid only during the call.
    void adapterFound(bool bootLoader);
    void adapterLeft();
    void replyReceived(std::uint8_t cmd, std::span<const std::uint8_t> data);

    // FirmwareUpdatePort
    void enterBootLoader() override;
    void transfer(FirmwareImage image) override;
    void leaveBootLoader() override;
    void resetSettings() override;
    bool transferring() const override { return m_stage == Stage::Sending || m_stage == Stage::Finishing; }

    bool isSending() const { return m_stage == Stage::Sending; }
    // Whether an update holds the adapter, from enterBootLoader() until it ends: the adapter's polling
    // waits meanwhile.
    bool holdsAdapter() const { return m_holding; }
    // Whether the adapter counts as held in its boot loader: from discovery finding it there until
    // the update lets it go, by leaving or with the result. The adapter is not polled meanwhile.
    bool bootMode() const { return m_bootMode; }
    // The image of the last transfer, with the position of its next chunk.
    const FirmwareImage &image() const { return m_image; }

signals:
    // The update no longer holds the adapter: one away for its restart is waited for no longer than
    // any other restart.
    void adapterReleased();

private:
    enum class Stage {
        Idle,      // waking the boot loader while the adapter is held, or waiting for an image
        Sending,   // chunks go out
        Lost,      // the adapter left while chunks went out; the next tick says so
        Finishing, // the end went out; its result is awaited
        Reporting, // the result is being reported
        Closing,   // the result has been reported; the update ends at the next tick
    };

    void tick();
    void sendNext();
    void chunkAcknowledged();
    void resultReceived(std::span<const std::uint8_t> data);
    void abandonTransfer();
    void setInterval(std::chrono::milliseconds interval);
    void release();

    UpdatePort &m_port;
    std::unique_ptr<TickTimer> m_timer;
    FirmwareImage m_image;
    Stage m_stage = Stage::Idle;
    bool m_holding = false;
    bool m_bootMode = false;
    bool m_adapterPresent = false;
    bool m_adapterInBootLoader = false;
};

} // namespace vestra7
