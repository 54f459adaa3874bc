// SPDX-License-Identifier: GPL-3.0-or-later
// The adapter behind the windows: its record, the link that carries it, discovery and polling.
#pragma once

#include "link/adapter_claim_lock.h"
#include "link/adapter_device.h"
#include "link/adapter_selector.h"
#include "link/firmware_updater.h"
#include "link/gui_dispatcher.h"
#include "link/hid_backend.h"
#include "link/mailbox.h"
#include "link/receiver.h"
#include "link/record_store.h"
#include "link/tick_timer.h"
#include "link/update_port.h"
#include "model/device_record.h"
#include "ports/adapter_port.h"

#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vestra7 {

class HidController;
class HidDevice;
class LinkWorker;

// Owns the one record of the adapter, the session that carries it (the mailbox, the worker that
// writes every message, the receiver), the search for the adapter among the HID devices and the
// polling. Everything is used on the GUI thread.
class Adapter final : public AdapterPort, private UpdatePort
{
    Q_OBJECT

public:
    using BackendFactory = std::function<std::unique_ptr<HidBackend>()>;

    static constexpr std::chrono::milliseconds kPollInterval{200};

    // The update's timer is the real one unless a test hands in its own.
    explicit Adapter(BackendFactory makeBackend, Mailbox::Clock clock = std::chrono::steady_clock::now,
                     std::unique_ptr<TickTimer> updateTimer = nullptr, QObject *parent = nullptr);
    ~Adapter() override;

    // From now on only the adapter with this key is claimed, in its firmware or its boot loader, and
    // it is waited for while it is away: never another in its place. For programs that use several
    // adapters at once, one Adapter each; chooseAdapter() then changes nothing.
    void claimOnly(const QString &key);
    // From now on no adapter is claimed nor locked: the search only lists those present. For a
    // program that only looks, which must not ask a holder that hands over for an adapter.
    void claimNothing();

    // AdapterPort
    void start() override;
    void stop() override;
    void searchAgain() override;
    std::vector<PresentAdapter> presentAdapters() const override;
    void chooseAdapter(const QString &key) override;
    FirmwareUpdatePort &firmwareUpdate() override { return m_updater; }
    const DeviceRecord &record() const override { return m_store.record(); }
    AdapterIdentity identity() const override { return m_identity; }
    void setActiveLine(int line) override;
    void selectParty(const Party &party) override;
    void call(int line, const Party &party) override;
    void hangUp(int line, const Party &party) override;
    void storeContact(int row, const Party &party) override;
    void deleteContact(int row) override;
    void deleteCall(int row) override;
    void importContacts(const std::vector<Party> &parties) override;
    void setMicGain(int step) override;
    void setLineGain(int step) override;
    void setAutoAnswer(int line, int seconds) override;
    void resetToDefaults() override;
    void loadConfiguration(const QByteArray &bytes) override;

    // How long an adapter away for a restart the program asked for is waited for once no update holds
    // it; AdapterSelector::kRestartWait unless a test shortens it.
    void setRestartWait(std::chrono::milliseconds wait) { m_selector.setRestartWait(wait); }

    // Stops the worker and the reading threads without waiting on the GUI thread. False when the
    // worker did not end in time and was left to end with the process, together with everything it
    // uses.
    bool shutdown();

    // A poll, or the last record write again when its reply is overdue. The polling timer makes one
    // every 200 ms, but not while the adapter runs its boot loader or the polling is held.
    void poll();
    // Polling pauses while this is set: the update window speaks to the adapter then.
    void setPollingHeld(bool held) { m_pollingHeld = held; }

    // Counts since the start, for those who watch the link's health.
    struct LinkCounts
    {
        std::uint64_t polls = 0;       // polls and repeated writes sent to a connected adapter
        std::uint64_t lostReplies = 0; // of those, the ones no record answered before the next
    };
    LinkCounts linkCounts() const { return m_linkCounts; }

    // Posts a message for the adapter, replacing one not yet taken.
    void post(Command command, std::span<const std::uint8_t> payload = {}) override;
    // Whether the adapter is taken to run its boot loader; only the end or the closing of an update
    // clears it, so that polls wait until the update has let go.
    bool bootMode() const { return m_updater.bootMode(); }
    FirmwareUpdater &updater() { return m_updater; }

    // True while the claimed adapter runs its normal firmware and is plugged in.
    bool connected() const;
    // True while the claimed adapter runs its boot loader and is plugged in.
    bool bootLoaderPresent() const;

    // Who holds the adapter this one waits for, as inUseChanged() said it; empty while it waits for none.
    const QString &inUseBy() const { return m_claimLock.holder(); }
    // The key of the adapter it waits for.
    const QString &inUseKey() const { return m_claimLock.waitedKey(); }
    // Whether its holder hands it over when asked, as the tries to take it do.
    bool inUseHandsOver() const { return m_claimLock.holderHandsOver(); }
    // Whether nobody holds it, but its lock could not be taken: inUseBy() then says why.
    bool lockFailed() const { return m_claimLock.failed(); }

signals:
    // The adapter's boot loader became usable, or stopped being so.
    void bootLoaderChanged(bool present);
    // The adapter's reply to the latest change holds every change made: they are written.
    void writeConfirmed();
    // Changes were dropped before a record held them: the adapter answered otherwise, or the writes
    // went unanswered too long. The windows show the adapter's record as it is.
    void writeFailed();

private:
    // Tests look at the devices and the mailbox beneath.
    friend class AdapterProbe;

    // Everything the worker thread touches. A worker that cannot be stopped (a write the system
    // never returns from) keeps using it, so it is then left alive for the rest of the process
    // instead of being destroyed under that thread.
    struct WorkerShared
    {
        explicit WorkerShared(Mailbox::Clock clock);
        ~WorkerShared();
        Mailbox mailbox;
        GuiDispatcher gui;
        std::atomic<bool> devicePresent{false};
        std::atomic<HidDevice *> claimedDevice{nullptr};
        std::unique_ptr<HidController> controller; // owns the device objects the worker writes to
    };

    void onPollTick();
    void onDeviceChange();
    bool onDeviceOffered(HidDevice &device);
    void onReportReceived(HidDevice *device, std::uint8_t reportId, std::span<const std::uint8_t> data);
    void onRecordArrived();
    void announceRecord();
    void onWriteEnded(bool held);
    // Takes the lock of the device about to be claimed; false, and the windows told, when another
    // program holds it.
    void announcePresentAdapters();
    void checkConnection();
    void setConnected(bool connected);

    std::unique_ptr<WorkerShared> m_shared;
    AdapterIdentity m_identity;
    BackendFactory m_makeBackend;
    RecordStore m_store;
    Receiver m_receiver;
    std::unique_ptr<LinkWorker> m_worker;
    QTimer m_pollTimer;
    FirmwareUpdater m_updater;
    bool m_pollingHeld = false;
    int m_recordsToAnnounce = 0;     // records arrived since the windows were last told
    bool m_connectOnRecord = false;  // connected only once the adapter just taken has sent its record
    bool m_recordSinceClaim = false; // one has come since; an announcement queued before is not it
    bool m_abandoned = false;        // the worker did not end: m_shared must outlive this object
    bool m_shutDown = false;         // no device is looked for, claimed or waited for any more
    bool m_claimingNothing = false;  // adapters are listed only
    QString m_reportedAccessProblem; // the device instance the user was last told about
    AdapterSelector m_selector;
    // Held from the claim of an adapter until another one is claimed or the program ends, across the
    // restarts of an update; none where the backend's devices are this process's own.
    AdapterClaimLock m_claimLock;
    // As last announced; none before the first search.
    std::optional<std::vector<PresentAdapter>> m_presentAdapters;
    LinkCounts m_linkCounts;
    bool m_pollAnswered = true; // a record has come since the last poll
};

} // namespace vestra7
