// SPDX-License-Identifier: GPL-3.0-or-later
// The firmware update as a state machine: waking the boot loader, the acknowledged transfer of an
// update image, its result and the way out, driven by its own tick and by the adapter's replies.
#pragma once

#include "link/firmware_update_port.h"
#include "model/firmware_image.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>

class TickTimer;
class UpdatePort;

// Lives for the whole run and knows no widget. It sends through its port only; the link tells it
// about the claimed adapter and hands it every reply from 240 up; the update window passes the
// user's buttons on and shows what it reports.
//
// While the window shows and the adapter runs its firmware, each tick asks the adapter to restart
// into its boot loader. Once a file is accepted, the next tick sends its first chunk; each chunk
// waits for its acknowledgement, which sends the next one at once, and a chunk without one goes
// again at the next tick. Past the end of the file the end of the update goes out, and its reply
// carries the result.
class FirmwareUpdater final : public FirmwareUpdatePort
{
    Q_OBJECT

public:

    static constexpr std::chrono::milliseconds kFirstTick{500};
    // The tick's ordinary interval, and so the time a chunk may wait for its acknowledgement before
    // it goes again.
    static constexpr std::chrono::milliseconds kResendAfter{200};
    // From the dismissal of the result to the window's closing.
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

    // From the update window.
    void windowShown() override;
    void windowHidden() override;
    // "Select file" was pressed: both buttons stay off until the selection has ended without a file,
    // or, after an accepted one, until the window is shown again or the transfer is lost.
    void beginSelection() override;
    void endSelection() override;
    // An accepted file, sent from `payloadOffset` on, header included in the figures of its progress.
    void startTransfer(const QByteArray &file, std::uint64_t payloadOffset) override;
    // "Close": ends whatever runs and takes the adapter out of its boot loader.
    void leave() override;
    // "Reset settings": the boot loader confirms it with settingsReset().
    void resetSettings() override;
    bool transferring() const override { return m_stage == Stage::Sending || m_stage == Stage::Finishing; }

    bool isSending() const { return m_stage == Stage::Sending; }
    // Whether the update window shows: the adapter's polling waits meanwhile.
    bool windowShowing() const { return m_shown; }
    // Whether the adapter counts as held in its boot loader: from discovery finding it there until
    // "Close" or the result.
    bool bootMode() const { return m_bootMode; }
    // The file of the last transfer, with the position of its next chunk.
    const FirmwareImage &image() const { return m_image; }


private:
    enum class Stage {
        Idle,      // waking the boot loader while the window shows, or waiting for a file
        Sending,   // chunks go out
        Lost,      // the adapter left while chunks went out; the next tick says so
        Finishing, // the end went out; its result is awaited
        Reporting, // the result is being shown
        Closing,   // the result has been shown; the window closes at the next tick
    };

    void tick();
    void sendNext();
    void chunkAcknowledged();
    void resultReceived(std::span<const std::uint8_t> data);
    void abandonTransfer();
    void setBootMode(bool bootMode);
    void setInterval(std::chrono::milliseconds interval);

    UpdatePort &m_port;
    std::unique_ptr<TickTimer> m_timer;
    FirmwareImage m_image;
    Stage m_stage = Stage::Idle;
    bool m_shown = false;
    bool m_bootMode = false;
    bool m_adapterPresent = false;
    bool m_adapterInBootLoader = false;
    // From a selection on, enumerations leave both buttons off: a second file chosen during a
    // transfer would mix two images in the adapter.
    bool m_actionsHeld = false;
};
