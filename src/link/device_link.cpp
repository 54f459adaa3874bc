// Start-up of the link, posting, and the discovery handlers.
#include "link/device_link.h"

#include "link/commands.h"
#include "link/discovery_view.h"
#include "link/firmware_updater.h"
#include "link/frame.h"
#include "link/hid_controller.h"
#include "link/worker.h"
#include "model/boot_loader_name.h"

namespace {

class NoView final : public DiscoveryView
{
public:
    void Cont(bool) override {}
    void showIdentity(const QString &, const QString &, const QString &) override {}
    void showTitle(const QString &) override {}
    void showAccessProblem(const QString &) override {}
};

NoView g_noView;

// How long the program waits at exit for a send under way to finish.
constexpr std::chrono::milliseconds kWorkerExitWait{2000};

} // namespace

QString versionText(std::uint16_t versionNumber)
{
    return QStringLiteral("%1.%2").arg(versionNumber >> 8).arg(versionNumber & 0xFFu);
}

DeviceLink::DeviceLink(BackendFactory makeBackend, Mailbox::Clock clock)
    : mailbox(std::move(clock))
    , m_makeBackend(std::move(makeBackend))
    , m_view(&g_noView)
    , m_store(record, mailbox)
    , m_receiver(m_store)
{
}

DeviceLink::~DeviceLink()
{
    shutdown();
}

void DeviceLink::setUpdateReplyHandler(RecordStore::UpdateReplyHandler handler)
{
    m_store.setUpdateReplyHandler(std::move(handler));
}

void DeviceLink::setFirmwareUpdater(FirmwareUpdater *updater)
{
    m_updater = updater;
    RecordStore::UpdateReplyHandler handler;
    if (updater)
        handler = [updater](std::uint8_t cmd, std::span<const std::uint8_t> payload) {
            updater->replyReceived(cmd, payload);
        };
    setUpdateReplyHandler(std::move(handler));
}

bool DeviceLink::start_device_link()
{
    std::unique_ptr<HidBackend> backend = m_makeBackend ? m_makeBackend() : nullptr;
    if (!backend)
        return false;
    m_controller = std::make_unique<HidController>(std::move(backend));
    m_controller->OnDeviceChange = [this](HidController &) {
        on_device_change();
    };
    m_controller->OnDeviceData = [this](HidDevice &device, std::uint8_t, std::span<const std::uint8_t> data) {
        // Reports of an adapter object that is no longer the claimed one must not mix into its messages.
        if (&device == hid_device.load())
            m_receiver.on_device_data(data);
    };
    // A message's data frames are of no use before its trailer: the GUI thread takes them all at once.
    m_controller->EndsReportGroup = [](std::span<const std::uint8_t> data) {
        return data.empty() || data[0] != kDataMarker;
    };
    m_controller->OnEnumerate = [this](HidDevice &device, int index) {
        return on_enumerate(device, index);
    };

    Tthr::Hooks hooks;
    hooks.writer = [this]() -> ReportWriter * {
        return device_present.load() ? hid_device.load() : nullptr;
    };
    hooks.refresh = m_refresh ? m_refresh : [] {
    };
    hooks.sendFailed = m_sendFailed ? m_sendFailed : [](const QString &) {
    };
    m_worker = std::make_unique<Tthr>(mailbox, m_gui, std::move(hooks));
    m_worker->start();
    return true;
}

void DeviceLink::save()
{
    post(CMD_WRITE_RECORD, record.bytes().data(), static_cast<std::uint16_t>(kRecordSize));
}

void DeviceLink::post(std::uint8_t cmd, const std::uint8_t *data, std::uint16_t len)
{
    mailbox.post(cmd, data, len);
}

void DeviceLink::poll()
{
    // A change whose confirmation has not come goes out again in place of a poll: its reply is as
    // good as a poll's, and the change must reach the adapter.
    if (mailbox.resendDue())
        mailbox.post(CMD_WRITE_RECORD, record.bytes().data(), static_cast<std::uint16_t>(kRecordSize),
                     Mailbox::Origin::Resend);
    else
        mailbox.postPoll();
}

void DeviceLink::terminate()
{
    if (m_worker)
        m_worker->requestTerminate();
}

bool DeviceLink::shutdown()
{
    mailbox.stop();
    m_gui.shutdown();
    if (m_controller)
        m_controller->shutdown();
    if (m_worker && !m_worker->wait(kWorkerExitWait)) {
        // A write that never returns must not hold the program up, nor may a running thread's object
        // be destroyed: leave the thread to end with the process.
        static_cast<void>(m_worker.release());
        return false;
    }
    return true;
}

bool DeviceLink::connected() const
{
    const HidDevice *device = hid_device.load();
    return device != nullptr && device->isPluggedIn() && !isBootLoaderName(device->product());
}

void DeviceLink::on_device_change()
{
    if (!m_controller)
        return;
    m_controller->Enumerate();
    const HidDevice *claimed = hid_device.load();
    if (m_updater && claimed != nullptr && !claimed->isPluggedIn())
        m_updater->adapterLeft();
    checkConnection();
}

void DeviceLink::checkConnection()
{
    // With no device left to offer, nothing else would take the window out of its connected state.
    if (!connected()) {
        m_view->Cont(false);
        mailbox.forgetWrites();
    }
}

bool DeviceLink::on_enumerate(HidDevice &device, int)
{
    m_view->Cont(false);
    if (device.manufacturer() != QLatin1String(kAdapterManufacturer))
        return true;

    device.CheckOut();
    if (!device.isClaimed()) {
        // Found but not ours to open: say so once for this device, and look on for another adapter.
        if (m_reportedAccessProblem != device.instance()) {
            m_reportedAccessProblem = device.instance();
            m_view->showAccessProblem(device.accessError());
        }
        return true;
    }
    if (HidDevice *previous = hid_device.load(); previous != &device) {
        mailbox.forgetWrites(); // writes sent to another adapter object are not answered by this one
        if (m_updater && previous != nullptr)
            m_updater->adapterLeft();
    }
    hid_device = &device;
    device_present = true;

    const QString name = device.product();
    m_view->showIdentity(name, device.serialNumber(), versionText(device.versionNumber()));
    m_view->showTitle(name);
    const bool bootLoader = isBootLoaderName(name);
    if (bootLoader)
        boot_mode = true;
    if (m_updater)
        m_updater->adapterFound(bootLoader);
    if (!bootLoader)
        m_view->Cont(true);
    return false;
}
