// SPDX-License-Identifier: GPL-3.0-or-later
// The firmware update's ticks, replies and the user's actions.
#include "link/firmware_updater.h"

#include "link/commands.h"
#include "link/tick_timer.h"
#include "link/update_port.h"

#include <utility>

namespace vestra7 {

FirmwareUpdater::FirmwareUpdater(UpdatePort &port, std::unique_ptr<TickTimer> timer, QObject *parent)
    : FirmwareUpdatePort(parent)
    , m_port(port)
    , m_timer(std::move(timer))
{
    connect(m_timer.get(), &TickTimer::ticked, this, &FirmwareUpdater::tick);
    m_timer->start(kFirstTick);
}

FirmwareUpdater::~FirmwareUpdater() = default;

void FirmwareUpdater::adapterFound(bool bootLoader)
{
    m_adapterPresent = true;
    m_adapterInBootLoader = bootLoader;
    // Found there, it is held there, as the link holds it, until the update lets it go.
    if (bootLoader)
        m_bootMode = true;
    emit bootLoaderReadyChanged(bootLoader);
}

void FirmwareUpdater::adapterLeft()
{
    m_adapterPresent = false;
    // A boot loader found after this one knows nothing of the chunks sent so far, and going on from
    // the same position would fill it with an image missing its beginning. Once the end has gone
    // out, the adapter restarts by itself, so leaving is no failure then. The loss is reported at
    // the next tick rather than inside the link's discovery.
    if (m_stage == Stage::Sending)
        m_stage = Stage::Lost;
}

void FirmwareUpdater::replyReceived(std::uint8_t cmd, std::span<const std::uint8_t> data)
{
    switch (static_cast<Command>(cmd)) {
    case Command::UpdateChunk:
        chunkAcknowledged();
        break;
    case Command::UpdateEnd:
        resultReceived(data);
        break;
    case Command::ResetSettings:
        emit settingsReset();
        break;
    default:
        break;
    }
}

void FirmwareUpdater::enterBootLoader()
{
    m_holding = true;
    m_stage = Stage::Idle;
}

void FirmwareUpdater::transfer(FirmwareImage image)
{
    m_image = std::move(image);
    m_stage = m_adapterPresent ? Stage::Sending : Stage::Lost;
}

void FirmwareUpdater::leaveBootLoader()
{
    release();
    m_bootMode = false;
    m_stage = Stage::Idle;
    m_port.post(Command::LeaveUpdate);
}

void FirmwareUpdater::resetSettings()
{
    m_port.post(Command::ResetSettings);
}

void FirmwareUpdater::tick()
{
    if (m_stage == Stage::Closing) {
        // The interval stays as it is; an update that has ended does not end again.
        if (m_holding) {
            release();
            emit ended();
        }
        return;
    }
    setInterval(kResendAfter);
    switch (m_stage) {
    case Stage::Lost:
        abandonTransfer();
        break;
    case Stage::Sending:
        // The position moves only with the acknowledgement, so an unanswered chunk goes again.
        sendNext();
        break;
    default:
        if (m_holding && !m_bootMode)
            m_port.post(Command::EnterBootLoader);
        break;
    }
}

void FirmwareUpdater::sendNext()
{
    if (m_image.atEnd()) {
        m_port.post(Command::UpdateEnd);
        m_stage = Stage::Finishing;
        return;
    }
    const FirmwareChunk chunk = m_image.chunk();
    m_port.post(Command::UpdateChunk, chunk);
}

void FirmwareUpdater::chunkAcknowledged()
{
    if (m_stage != Stage::Sending)
        return;
    // An acknowledgement carries nothing to say which chunk it answers: each one moves on.
    m_image.advance();
    // The next message goes at once, before the progress is shown; a whole interval from now, the
    // tick sends it again if it has not been acknowledged by then.
    sendNext();
    m_timer->start(kResendAfter);
    emit progressChanged(m_image.position(), m_image.size());
}

void FirmwareUpdater::resultReceived(std::span<const std::uint8_t> data)
{
    // One result per transfer: a second reply changes nothing.
    if (m_stage == Stage::Reporting || m_stage == Stage::Closing)
        return;
    // A result without its byte cannot be taken for a success.
    const Outcome outcome = !data.empty() && data[0] != 0 ? Outcome::Success : Outcome::Failure;
    // The transfer is over with its result. The adapter restarting into its firmware while the
    // result is shown is expected, and the ticks that run meanwhile must not take it for a loss.
    m_stage = Stage::Reporting;
    emit finished(outcome);
    m_bootMode = false;
    m_stage = Stage::Closing;
    setInterval(kCloseDelay);
    emit progressCleared();
}

void FirmwareUpdater::abandonTransfer()
{
    // The file can be chosen again once a boot loader is there; until then the ticks ask for one.
    m_stage = Stage::Idle;
    const bool bootLoaderPresent = m_adapterPresent && m_adapterInBootLoader;
    m_bootMode = bootLoaderPresent;
    emit bootLoaderReadyChanged(bootLoaderPresent);
    emit progressCleared();
    emit finished(Outcome::AdapterLost);
}

void FirmwareUpdater::release()
{
    if (std::exchange(m_holding, false))
        emit adapterReleased();
}

void FirmwareUpdater::setInterval(std::chrono::milliseconds interval)
{
    // A new interval restarts the timer; the one it already has must leave it running as it is.
    if (m_timer->interval() != interval)
        m_timer->start(interval);
}

} // namespace vestra7
