// SPDX-License-Identifier: GPL-3.0-or-later
// The umockdev bridge: virtual hidraw nodes backed by emulated HID devices.
#include "support/virtual_hidraw.h"

#include "sim/emulated_hid_device.h"

#include <QtGlobal>

#include <umockdev.h>

#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <map>
#include <utility>

namespace vestra7 {

struct VirtualNode
{
    std::shared_ptr<EmulatedHidDevice> device;
    std::string instance; // "/dev/hidrawN"
    int number = 0;
    int port = 0;                      // the USB port "1-port"
    std::vector<std::string> sysPaths; // USB device, interface, HID device, hidraw node
    bool announced = false;            // its "remove" uevents are out; control thread only
    UMockdevIoctlBase *handler = nullptr;

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<UMockdevIoctlClient *> reads; // waiting for a report
    bool stopping = false;
    std::thread pump;
};

namespace {

// umockdev's thread finds a node by its path here rather than through a pointer handed over
// inside GLib: that hand-over is out of ThreadSanitizer's sight, this lock is not.
struct NodeRegistry
{
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<VirtualNode>> nodes;
};

NodeRegistry &registry()
{
    static NodeRegistry nodes;
    return nodes;
}

std::shared_ptr<VirtualNode> nodeOf(UMockdevIoctlClient *client)
{
    const char *path = umockdev_ioctl_client_get_devnode(client);
    NodeRegistry &nodes = registry();
    const std::lock_guard lock(nodes.mutex);
    const auto found = nodes.nodes.find(path != nullptr ? path : "");
    return found != nodes.nodes.end() ? found->second : nullptr;
}

struct Target
{
    std::shared_ptr<EmulatedHidDevice> device;
    QString instance;
};

Target targetOf(VirtualNode &node)
{
    return {node.device, QString::fromStdString(node.instance)};
}

// Threads that serve a device (umockdev's handler thread, the read pumps, the control thread) must
// never wait for the control thread: an adapter restarting itself unplugs from there.
thread_local bool t_servingDevice = false;

// A vendor-defined interface with one 64-byte input and one 64-byte output report, unnumbered.
constexpr std::array<std::uint8_t, 27> kReportDescriptor = {
    0x06, 0x00, 0xFF,                   // usage page, vendor defined
    0x09, 0x01, 0xA1, 0x01,             // usage 1, application collection
    0x09, 0x02, 0x15, 0x00, 0x26, 0xFF, // usage 2, bytes 0 to 255
    0x00, 0x75, 0x08, 0x95, 0x40, 0x81, // 64 of 8 bits, input
    0x02, 0x09, 0x03, 0x95, 0x40, 0x91, // usage 3, 64 of them, output
    0x02, 0xC0,                         // end collection
};

std::string hex(std::span<const std::uint8_t> bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

// The testbed is broken beyond what a test could report: stop at once, saying why.
void check(gboolean ok, GError *error, const char *what)
{
    if (!ok)
        qFatal("umockdev %s: %s", what, error != nullptr ? error->message : "failed");
}

gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer)
{
    t_servingDevice = true;
    const std::shared_ptr<VirtualNode> node = nodeOf(client);
    if (!node) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return TRUE;
    }
    const Target target = targetOf(*node);
    if (umockdev_ioctl_client_get_request(client) != HIDIOCGRDESCSIZE) {
        umockdev_ioctl_client_complete(client, -1, ENOTTY);
        return TRUE;
    }
    // hidapi asks this first thing when it opens a node: the place to refuse access.
    if (!target.device->openRefusal().isEmpty()) {
        umockdev_ioctl_client_complete(client, -1, EACCES);
        return TRUE;
    }
    GError *error = nullptr;
    UMockdevIoctlData *size =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(int), &error);
    if (size == nullptr) {
        g_clear_error(&error);
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return TRUE;
    }
    int length = static_cast<int>(kReportDescriptor.size());
    umockdev_ioctl_data_update(size, 0, reinterpret_cast<guint8 *>(&length), sizeof length);
    umockdev_ioctl_client_complete(client, 0, 0);
    return TRUE;
}

gboolean onWrite(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer)
{
    t_servingDevice = true;
    const std::shared_ptr<VirtualNode> node = nodeOf(client);
    if (!node) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return TRUE;
    }
    const Target target = targetOf(*node);
    guint8 *bytes = nullptr;
    gint length = 0;
    umockdev_ioctl_data_retrieve(umockdev_ioctl_client_get_arg(client), &bytes, &length);
    const HostWrite written = target.device->hostWrite(
        target.instance, std::span<const std::uint8_t>(bytes, static_cast<std::size_t>(length)));
    g_free(bytes);
    if (written.bytes >= 0)
        umockdev_ioctl_client_complete(client, written.bytes, 0);
    else
        umockdev_ioctl_client_complete(client, -1, written.failure.deviceGone ? ENODEV : EIO);
    return TRUE;
}

gboolean onRead(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer)
{
    t_servingDevice = true;
    const std::shared_ptr<VirtualNode> node = nodeOf(client);
    if (node) {
        const std::lock_guard lock(node->mutex);
        if (!node->stopping) {
            node->reads.push_back(UMOCKDEV_IOCTL_CLIENT(g_object_ref(client)));
            node->wake.notify_all();
            return TRUE;
        }
    }
    umockdev_ioctl_client_complete(client, -1, ENODEV);
    return TRUE;
}

// A read is answered once the device has a report. Reads that find nothing for a while complete
// with EAGAIN, which hidapi takes as a time-out: the node is a plain file, so poll() cannot wait.
void pumpReads(VirtualNode *node)
{
    t_servingDevice = true;
    const Target target = targetOf(*node);
    for (;;) {
        UMockdevIoctlClient *client = nullptr;
        {
            std::unique_lock lock(node->mutex);
            node->wake.wait(lock, [node] { return node->stopping || !node->reads.empty(); });
            if (node->reads.empty())
                return;
            client = node->reads.front();
            node->reads.pop_front();
        }
        std::array<std::uint8_t, 65> report{};
        const int count = target.device->hostRead(target.instance, report, 100);
        UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
        if (count > 1) {
            // hidraw hands out an unnumbered report without its report-ID byte.
            const gint length = std::min(count - 1, arg->data_len);
            umockdev_ioctl_data_update(arg, 0, report.data() + 1, length);
            umockdev_ioctl_client_complete(client, length, 0);
        } else {
            umockdev_ioctl_client_complete(client, -1, count == 0 ? EAGAIN : ENODEV);
        }
        g_object_unref(client);
    }
}

} // namespace

VirtualHidraw::VirtualHidraw()
    : m_testbed(umockdev_testbed_new())
    , m_control([this] { run(); })
{
}

VirtualHidraw::~VirtualHidraw()
{
    m_delayedPlugs.stop();
    std::vector<std::shared_ptr<VirtualNode>> plugged;
    {
        const std::lock_guard lock(m_mutex);
        plugged = m_nodes;
    }
    for (const auto &node : plugged)
        unplug(*node->device);
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_control.join();
    for (const auto &node : m_gone) {
        if (node->pump.joinable())
            node->pump.join();
        if (node->handler != nullptr)
            g_object_unref(node->handler);
    }
    g_object_unref(m_testbed);
}

bool VirtualHidraw::isAvailable()
{
    // umockdev_in_mock_environment() answers false under the wrapper in the version at hand.
    return qEnvironmentVariable("LD_PRELOAD").contains(QLatin1String("libumockdev-preload"));
}

QString VirtualHidraw::rootDir() const
{
    // Set when the testbed is made and never changed: safe to read beside the control thread. The
    // testbed hands out a copy of its own, ours to free.
    gchar *const root = umockdev_testbed_get_root_dir(m_testbed);
    const QString folder = QString::fromUtf8(root);
    g_free(root);
    return folder;
}

QProcessEnvironment VirtualHidraw::childEnvironment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.remove(QStringLiteral("LANGUAGE"));
    environment.insert(QStringLiteral("UMOCKDEV_DIR"), rootDir());
    return environment;
}

QString VirtualHidraw::plug(const std::shared_ptr<EmulatedHidDevice> &device)
{
    auto node = std::make_shared<VirtualNode>();
    node->device = device;
    {
        const std::lock_guard lock(m_mutex);
        node->number = m_nextNumber++;
        node->port = portFor(device);
        node->instance = "/dev/hidraw" + std::to_string(node->number);
        m_nodes.push_back(node);
    }
    perform([this, node] { addNode(node); });
    return QString::fromStdString(node->instance);
}

int VirtualHidraw::portFor(const std::shared_ptr<EmulatedHidDevice> &device)
{
    std::erase_if(m_ports, [](const auto &entry) { return entry.first.expired(); });
    const auto known =
        std::find_if(m_ports.begin(), m_ports.end(), [&](const auto &entry) { return entry.first.lock() == device; });
    if (known != m_ports.end())
        return known->second;
    m_ports.emplace_back(device, m_nextPort);
    return m_nextPort++;
}

void VirtualHidraw::plugAfter(const std::shared_ptr<EmulatedHidDevice> &device, std::chrono::milliseconds gap)
{
    m_delayedPlugs.plugAfter(device, gap);
}

void VirtualHidraw::changePortOnNextPlug(const EmulatedHidDevice &device)
{
    const std::lock_guard lock(m_mutex);
    std::erase_if(m_ports, [&](const auto &entry) { return entry.first.lock().get() == &device; });
}

std::vector<std::shared_ptr<VirtualNode>>::iterator VirtualHidraw::pluggedNode(const EmulatedHidDevice &device)
{
    return std::find_if(m_nodes.begin(), m_nodes.end(), [&](const auto &n) { return n->device.get() == &device; });
}

void VirtualHidraw::unplug(EmulatedHidDevice &device)
{
    std::shared_ptr<VirtualNode> node;
    {
        const std::lock_guard lock(m_mutex);
        const auto found = pluggedNode(device);
        if (found == m_nodes.end())
            return;
        node = *found;
        m_nodes.erase(found);
        m_gone.push_back(node);
    }
    perform([this, node] { removeNode(node); });
}

void VirtualHidraw::announceRemoval(EmulatedHidDevice &device)
{
    std::shared_ptr<VirtualNode> node;
    {
        const std::lock_guard lock(m_mutex);
        const auto found = pluggedNode(device);
        if (found == m_nodes.end())
            return;
        node = *found;
    }
    perform([this, node] {
        if (std::exchange(node->announced, true))
            return;
        for (auto path = node->sysPaths.rbegin(); path != node->sysPaths.rend(); ++path)
            umockdev_testbed_uevent(m_testbed, path->c_str(), "remove");
    });
}

std::shared_ptr<EmulatedHidDevice> VirtualHidraw::addForeignDevice(const QString &manufacturer, const QString &product,
                                                                   std::uint16_t version)
{
    HidDeviceInfo identity;
    identity.manufacturer = manufacturer;
    identity.product = product;
    identity.serialNumber = QStringLiteral("F-%1").arg(m_nextNumber);
    identity.versionNumber = version;
    auto device = std::make_shared<EmulatedHidDevice>(identity);
    plug(device);
    return device;
}

void VirtualHidraw::run()
{
    t_servingDevice = true;
    for (;;) {
        std::function<void()> operation;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stopping || !m_operations.empty(); });
            if (m_operations.empty())
                return;
            operation = std::move(m_operations.front());
            m_operations.pop_front();
        }
        operation();
        {
            const std::lock_guard lock(m_mutex);
            ++m_done;
        }
        m_changed.notify_all();
    }
}

void VirtualHidraw::perform(std::function<void()> operation)
{
    std::unique_lock lock(m_mutex);
    m_operations.push_back(std::move(operation));
    const std::uint64_t ticket = ++m_queued;
    m_changed.notify_all();
    if (!t_servingDevice)
        m_changed.wait(lock, [this, ticket] { return m_done >= ticket; });
}

void VirtualHidraw::addNode(const std::shared_ptr<VirtualNode> &node)
{
    const HidDeviceInfo identity = node->device->info();
    const int n = node->number;
    const std::string usb = "/devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(node->port);
    const std::string interface = usb + "/1-" + std::to_string(node->port) + ":1.0";
    const std::string hid = interface + "/0003:F055:7007." + std::to_string(1000 + n);
    const std::string hidraw = hid + "/hidraw/hidraw" + std::to_string(n);
    node->sysPaths = {"/sys" + usb, "/sys" + interface, "/sys" + hid, "/sys" + hidraw};

    char version[8];
    std::snprintf(version, sizeof version, "%04x", identity.versionNumber);
    const std::string manufacturer = identity.manufacturer.toStdString();
    const std::string product = identity.product.toStdString();
    const std::string serial = identity.serialNumber.toStdString();
    const std::string description =
        "P: " + usb +
        "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nA: idVendor=f055\nA: idProduct=7007\nA: bcdDevice=" + version +
        "\nA: manufacturer=" + manufacturer + "\nA: product=" + product + "\nA: serial=" + serial +
        "\nA: busnum=1\nA: devnum=" + std::to_string(n + 2) + "\n\n" + "P: " + interface +
        "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nA: bInterfaceNumber=00\nA: bInterfaceClass=03\n\n" +
        "P: " + hid + "\nE: SUBSYSTEM=hid\nE: HID_ID=0003:0000F055:00007007\nE: HID_NAME=" + manufacturer + " " +
        product + "\nE: HID_UNIQ=" + serial + "\nH: report_descriptor=" + hex(kReportDescriptor) + "\n\n" +
        "P: " + hidraw + "\nN: hidraw" + std::to_string(n) + "=00\nE: SUBSYSTEM=hidraw\nE: DEVNAME=/dev/hidraw" +
        std::to_string(n) + "\nA: dev=247:" + std::to_string(n) + "\n";

    // The handler goes first, so that the node can be opened as soon as its "add" uevent is out.
    node->handler = umockdev_ioctl_base_new();
    g_signal_connect(node->handler, "handle-ioctl", G_CALLBACK(onIoctl), nullptr);
    g_signal_connect(node->handler, "handle-read", G_CALLBACK(onRead), nullptr);
    g_signal_connect(node->handler, "handle-write", G_CALLBACK(onWrite), nullptr);
    {
        NodeRegistry &nodes = registry();
        const std::lock_guard lock(nodes.mutex);
        nodes.nodes[node->instance] = node;
    }
    GError *error = nullptr;
    check(umockdev_testbed_attach_ioctl(m_testbed, node->instance.c_str(), node->handler, &error), error,
          "attach_ioctl");
    node->pump = std::thread(pumpReads, node.get());
    node->device->attach(this, QString::fromStdString(node->instance));
    check(umockdev_testbed_add_from_string(m_testbed, description.c_str(), &error), error, "add_from_string");
}

// Takes away the device's node and the links by which it is found (its class and bus entries, its
// /sys/dev entry), as the kernel does before it announces the removal; umockdev_testbed_remove_device
// then finds them gone and removes the rest.
void VirtualHidraw::hideDevice(const std::string &sysPath)
{
    gchar *const rootDir = umockdev_testbed_get_root_dir(m_testbed);
    const std::string root = rootDir;
    g_free(rootDir);
    const std::string directory = root + sysPath;
    const std::string name = sysPath.substr(sysPath.rfind('/') + 1);
    if (gchar *link = g_file_read_link((directory + "/subsystem").c_str(), nullptr)) {
        const std::string subsystem = std::string(link).substr(std::string(link).rfind('/') + 1);
        g_free(link);
        ::unlink((root + "/sys/class/" + subsystem + "/" + name).c_str());
        ::unlink((root + "/sys/bus/" + subsystem + "/devices/" + name).c_str());
    }
    gchar *dev = nullptr;
    if (g_file_get_contents((directory + "/dev").c_str(), &dev, nullptr, nullptr)) {
        ::unlink((root + "/sys/dev/char/" + g_strstrip(dev)).c_str());
        g_free(dev);
    }
    if (sysPath.find("/hidraw/hidraw") != std::string::npos)
        ::unlink((root + "/dev/" + name).c_str());
}

void VirtualHidraw::removeNode(const std::shared_ptr<VirtualNode> &node)
{
    if (node->device->instance() == QString::fromStdString(node->instance))
        node->device->detach();
    std::deque<UMockdevIoctlClient *> reads;
    {
        const std::lock_guard lock(node->mutex);
        node->stopping = true;
        reads.swap(node->reads);
    }
    node->wake.notify_all();
    for (UMockdevIoctlClient *client : reads) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        g_object_unref(client);
    }
    // umockdev sends no removal uevents of its own and does not recurse: deepest first, by hand.
    // A real kernel has a device's node and links gone before udev's "remove" reaches a monitor;
    // umockdev needs the device's directory to send the uevent, and removes it afterwards.
    for (auto path = node->sysPaths.rbegin(); path != node->sysPaths.rend(); ++path) {
        hideDevice(*path);
        if (!node->announced)
            umockdev_testbed_uevent(m_testbed, path->c_str(), "remove");
    }
    GError *error = nullptr;
    if (!umockdev_testbed_detach_ioctl(m_testbed, node->instance.c_str(), &error))
        g_clear_error(&error);
    {
        NodeRegistry &nodes = registry();
        const std::lock_guard lock(nodes.mutex);
        const auto found = nodes.nodes.find(node->instance);
        if (found != nodes.nodes.end() && found->second == node)
            nodes.nodes.erase(found);
    }
    for (auto path = node->sysPaths.rbegin(); path != node->sysPaths.rend(); ++path)
        umockdev_testbed_remove_device(m_testbed, path->c_str());
}

} // namespace vestra7
