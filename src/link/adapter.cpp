// SPDX-License-Identifier: GPL-3.0-or-later
// The adapter's session: start, polling, posting, and the orderly end.
#include "link/adapter.h"

#include "link/commands.h"
#include "link/frame.h"
#include "link/hid_controller.h"
#include "link/link_worker.h"
#include "link/logging.h"
#include "link/tick_timer.h"

#include <algorithm>
#include <vector>

namespace vestra7 {

namespace {

// How long the program waits at exit for a send under way to finish.
constexpr std::chrono::milliseconds kWorkerExitWait{2000};

// Keeps what a worker stuck in a write still uses alive, and reachable, for the rest of the process.
template <class T> void keepForever(std::unique_ptr<T> object)
{
    static auto *const kept = new std::vector<std::shared_ptr<void>>;
    kept->push_back(std::shared_ptr<T>(std::move(object)));
}

bool endsMessage(std::span<const std::uint8_t> frame)
{
    return frame.empty() || frame[0] != kDataMarker;
}

} // namespace

Adapter::WorkerShared::WorkerShared(Mailbox::Clock clock)
    : mailbox(std::move(clock))
{
}

Adapter::WorkerShared::~WorkerShared() = default;

Adapter::Adapter(BackendFactory makeBackend, Mailbox::Clock clock, std::unique_ptr<TickTimer> updateTimer,
                 QObject *parent)
    : AdapterPort(parent)
    , m_shared(std::make_unique<WorkerShared>(std::move(clock)))
    , m_makeBackend(std::move(makeBackend))
    , m_store(m_shared->mailbox)
    , m_receiver(m_store)
    , m_updater(*this, updateTimer ? std::move(updateTimer) : std::make_unique<PreciseTickTimer>())
{
    connect(&m_store, &RecordStore::recordArrived, this, &Adapter::onRecordArrived);
    // Several records may arrive in one pass of the event loop: the windows show the last one, once.
    connect(&m_store, &RecordStore::recordArrived, this, &Adapter::announceRecord, Qt::QueuedConnection);
    connect(&m_store, &RecordStore::writeEnded, this, &Adapter::onWriteEnded);
    connect(&m_store, &RecordStore::updateReplyArrived, &m_updater, &FirmwareUpdater::replyReceived);
    m_pollTimer.setInterval(kPollInterval);
    connect(&m_pollTimer, &QTimer::timeout, this, &Adapter::onPollTick);
    connect(&m_selector, &AdapterSelector::restartWaitOver, this, &Adapter::onDeviceChange);
    connect(&m_selector, &AdapterSelector::adapterNotBack, this, &AdapterPort::adapterNotBack);
    connect(&m_updater, &FirmwareUpdater::adapterReleased, &m_selector, &AdapterSelector::updateReleased);
    connect(&m_claimLock, &AdapterClaimLock::holderChanged, this, &AdapterPort::inUseChanged);
    connect(&m_claimLock, &AdapterClaimLock::retryDue, this, &Adapter::onDeviceChange);
}

Adapter::~Adapter()
{
    if (!shutdown())
        keepForever(std::move(m_shared));
}

void Adapter::start()
{
    std::unique_ptr<HidBackend> backend = m_makeBackend ? m_makeBackend() : nullptr;
    if (backend) {
        m_claimLock.setScope(backend->lockScope());
        // A message's data frames are of no use before its trailer: the GUI thread takes them all at once.
        m_shared->controller = std::make_unique<HidController>(std::move(backend), &endsMessage);
        HidController *controller = m_shared->controller.get();
        m_selector.setController(controller);
        connect(controller, &HidController::devicesChanged, this, &Adapter::onDeviceChange);
        connect(controller, &HidController::reportReceived, this, &Adapter::onReportReceived);

        const auto writer = [shared = m_shared.get()]() -> ReportWriter * {
            return shared->devicePresent.load() ? shared->claimedDevice.load() : nullptr;
        };
        m_worker = std::make_unique<LinkWorker>(m_shared->mailbox, m_shared->gui, writer);
        connect(m_worker.get(), &LinkWorker::sendFailed, this, &AdapterPort::sendFailed);
        m_worker->start();
    }
    m_pollTimer.start();
}

void Adapter::stop()
{
    m_pollTimer.stop();
    if (m_worker)
        m_worker->requestTerminate();
}

bool Adapter::shutdown()
{
    if (m_abandoned)
        return false;
    m_shutDown = true;
    m_pollTimer.stop();
    m_shared->mailbox.stop();
    m_shared->gui.shutdown();
    if (m_shared->controller)
        m_shared->controller->shutdown();
    // Every handle is closed: nothing more goes to the adapter, so another program may have it.
    m_claimLock.release();
    if (m_worker && !m_worker->wait(kWorkerExitWait)) {
        // A write that never returns must not hold the program up, nor may anything the thread still
        // uses be destroyed: leave the thread, and all it touches, to end with the process.
        qCWarning(lcLink) << "a write to the adapter did not end; leaving it to end with the program";
        keepForever(std::move(m_worker));
        m_abandoned = true;
        return false;
    }
    return true;
}

void Adapter::post(Command command, std::span<const std::uint8_t> payload)
{
    m_shared->mailbox.post(command, payload.empty() ? nullptr : payload.data(),
                           static_cast<std::uint16_t>(payload.size()));
}

void Adapter::onPollTick()
{
    // While an update holds the adapter, or the adapter is held in its boot loader, only the update
    // speaks to the adapter.
    if (!m_updater.bootMode() && !m_pollingHeld && !m_updater.holdsAdapter())
        poll();
}

void Adapter::poll()
{
    // Only what can reach an adapter counts; without one, the next adapter starts afresh.
    if (connected()) {
        ++m_linkCounts.polls;
        if (!std::exchange(m_pollAnswered, false))
            ++m_linkCounts.lostReplies;
    } else {
        m_pollAnswered = true;
    }
    Mailbox &mailbox = m_shared->mailbox;
    if (mailbox.resendDue()) {
        qCDebug(lcLink) << "the last record write is unanswered: sent again";
        m_store.repeat();
    } else {
        mailbox.postPoll();
    }
}

void Adapter::onReportReceived(HidDevice *device, std::uint8_t, std::span<const std::uint8_t> data)
{
    // Reports of an adapter object that is no longer the claimed one must not mix into its messages.
    if (device == m_shared->claimedDevice.load())
        m_receiver.takeReport(data);
}

void Adapter::onRecordArrived()
{
    m_recordSinceClaim = true;
    m_pollAnswered = true;
    ++m_recordsToAnnounce;
}

void Adapter::announceRecord()
{
    // The first of the arrivals queued together announces them all; the others find nothing left.
    if (std::exchange(m_recordsToAnnounce, 0) == 0)
        return;
    emit recordChanged();
    if (m_connectOnRecord && m_recordSinceClaim && connected()) {
        m_connectOnRecord = false;
        setConnected(true);
    }
}

void Adapter::onWriteEnded(bool held)
{
    if (held) {
        emit writeConfirmed();
    } else {
        qCDebug(lcLink) << "changes not held by the adapter's record were dropped";
        emit writeFailed();
    }
}

} // namespace vestra7
