// The device link: the record, the mailbox and its flags, the worker, the receiver and discovery.
#pragma once

#include "link/gui_dispatcher.h"
#include "link/hid_backend.h"
#include "link/mailbox.h"
#include "link/receiver.h"
#include "link/record_store.h"
#include "model/device_record.h"

#include <atomic>
#include <functional>
#include <memory>

class DiscoveryView;
class FirmwareUpdater;
class HidController;
class HidDevice;
class Tthr;

inline constexpr char kAdapterManufacturer[] = "TARNIX";

// The state the program shares between its windows and threads, in one object so that tests can
// make their own. Everything is used on the GUI thread unless said otherwise.
class DeviceLink
{
public:
    using BackendFactory = std::function<std::unique_ptr<HidBackend>()>;

    explicit DeviceLink(BackendFactory makeBackend, Mailbox::Clock clock = std::chrono::steady_clock::now);
    ~DeviceLink();

    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    // Wiring, before start_device_link().
    void setView(DiscoveryView *view) { m_view = view; }
    void setRefresh(std::function<void()> refresh) { m_refresh = std::move(refresh); }
    void setSendFailureHandler(std::function<void(const QString &)> handler) { m_sendFailed = std::move(handler); }
    void setUpdateReplyHandler(RecordStore::UpdateReplyHandler handler);
    // The firmware update hears of every claim of the adapter and of its departure, and takes the
    // replies from 240 up.
    void setFirmwareUpdater(FirmwareUpdater *updater);

    // Creates the HID controller and starts the worker; the first scan follows once the event loop
    // runs. False when no controller could be made.
    bool start_device_link();

    // Command 128 with the whole record: every change of the local record ends with it.
    void save();
    // Posts a message for the adapter, replacing one not yet taken.
    void post(std::uint8_t cmd, const std::uint8_t *data = nullptr, std::uint16_t len = 0);
    // A poll, only into an empty slot; or the last record write again, when its reply is overdue.
    void poll();

    // Tells the worker to end; at program exit.
    void terminate();
    // Stops the worker and the reading threads without waiting on the GUI thread. False when the
    // worker did not end in time and was left to end with the process.
    bool shutdown();

    // Device discovery handlers.
    void on_device_change();
    bool on_enumerate(HidDevice &device, int index);

    // The adapter's record, owned here for the whole run; written only on the GUI thread.
    DeviceRecord record{};
    Mailbox mailbox;
    bool boot_mode = false;
    std::atomic<bool> device_present{false};
    std::atomic<HidDevice *> hid_device{nullptr};

    HidController *hid_controller() const { return m_controller.get(); }
    // True while the claimed adapter runs its normal firmware and is plugged in.
    bool connected() const;

private:
    void checkConnection();

    BackendFactory m_makeBackend;
    DiscoveryView *m_view = nullptr;
    FirmwareUpdater *m_updater = nullptr;
    std::function<void()> m_refresh;
    std::function<void(const QString &)> m_sendFailed;
    GuiDispatcher m_gui;
    RecordStore m_store;
    Receiver m_receiver;
    std::unique_ptr<HidController> m_controller;
    std::unique_ptr<Tthr> m_worker;
    QString m_reportedAccessProblem; // the device instance the user was last told about
};

// The device's version number as major.minor, from its high and low byte: 0x010A gives "1.10".
QString versionText(std::uint16_t versionNumber);
