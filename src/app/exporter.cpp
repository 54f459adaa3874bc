// SPDX-License-Identifier: GPL-3.0-or-later
// Watching the adapters, following them as they come and go, and serving their metrics.
#include "app/exporter.h"

#include "app/adapter_metrics.h"
#include "app/termination_signals.h"
#include "link/adapter_claim_lock.h"
#include "link/adapter_lock.h"
#include "link/logging.h"
#include "model/boot_loader_name.h"

#include <QCoreApplication>
#include <QLocale>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace vestra7 {

namespace {

using Clock = std::chrono::steady_clock;

QByteArray codePageOrLocale(const QByteArray &codePage)
{
    return codePage.isEmpty() ? QByteArray(ansiCodePageName(QLocale::system())) : codePage;
}

} // namespace

// One adapter the exporter watches: what the last search saw of it, its lock, and its own Adapter
// while the exporter holds it.
struct Exporter::Watched
{
    Watched(QString name, const QString &lockScope)
        : key(std::move(name))
    {
        if (!lockScope.isEmpty())
            lock = std::make_unique<AdapterLock>(lockScope, AdapterLock::Hold::UntilAsked);
    }

    QString key;
    HidDeviceInfo seen; // as last listed, while plugged in
    bool present = false;
    bool seenInFirmware = false; // not only ever as a boot loader
    bool heldByOtherProgram = false;
    QString lockProblem; // why the lock could not be taken, as last told
    // Taken under the key every program uses before the Adapter claims the device, and let go of
    // after it has closed it; none where the backend's devices are this process's own.
    std::unique_ptr<AdapterLock> lock;
    std::optional<Clock::time_point> lastAsked; // when another program last asked for the adapter
    std::unique_ptr<Adapter> adapter;
    std::optional<Clock::time_point> lastRecord;
    Adapter::LinkCounts before; // of the Adapters let go at hand-overs: the counters never go back
    std::uint64_t failedWrites = 0;
};

Exporter::Exporter(Adapter::BackendFactory makeBackend, Watch watch, const QByteArray &codePage, QObject *parent)
    : QObject(parent)
    , m_backend(makeBackend())
    , m_watch(std::move(watch))
    , m_codePage(codePageOrLocale(codePage))
    , m_codec(m_codePage.constData())
{
}

Exporter::~Exporter()
{
    blockSignals(true); // the Adapters may signal as they go, while the members they reach are gone
}

Result<quint16> Exporter::start(const QString &address, const MetricsServer::Limits &limits)
{
    Result<std::unique_ptr<MetricsServer>> server = MetricsServer::start(address, limits);
    if (!server)
        return server.error();
    m_server = std::move(*server);
    // Queued: collected once the change is whole, never halfway through a search.
    connect(this, &Exporter::adaptersChanged, this, &Exporter::collect, Qt::QueuedConnection);
    m_collectTimer.setInterval(std::chrono::seconds(1));
    connect(&m_collectTimer, &QTimer::timeout, this, &Exporter::collect);
    m_collectTimer.start();
    m_backend.watchChanges([this] { onDevicesChanged(); });
    onDevicesChanged();
    m_retry.setInterval(AdapterClaimLock::kRetry);
    connect(&m_retry, &QTimer::timeout, this, &Exporter::onRetry);
    m_retry.start();
    collect();
    return m_server->port();
}

bool Exporter::wanted(const SharedHidBackend::KeyedAdapter &adapter) const
{
    const QString &key = adapter.key;
    if (!m_watch.serial.isEmpty())
        return key == m_watch.serial || adapter.device.serialNumber == m_watch.serial;
    // Without a choice the first adapter found is the one watched, from then on.
    return m_watch.all || m_watched.empty() || m_watched.front()->key == key;
}

void Exporter::onDevicesChanged()
{
    // The adapter asked for by its serial number is reported from the start, plugged in or not.
    if (!m_watch.serial.isEmpty() && m_watched.empty())
        watch(m_watch.serial);
    for (const std::unique_ptr<Watched> &watched : m_watched)
        watched->present = false;
    const std::vector<SharedHidBackend::KeyedAdapter> present = m_backend.adapters();
    m_adaptersPresent = static_cast<int>(present.size());
    forgetBootLoadersOfReturnedAdapters(present);
    for (const SharedHidBackend::KeyedAdapter &adapter : present) {
        if (!wanted(adapter))
            continue;
        const QString &key = adapter.key;
        auto found = std::find_if(m_watched.begin(), m_watched.end(),
                                  [&key](const std::unique_ptr<Watched> &watched) { return watched->key == key; });
        if (found == m_watched.end()) {
            watch(key);
            found = std::prev(m_watched.end());
        }
        Watched &watched = **found;
        watched.seen = adapter.device;
        watched.present = true;
        watched.seenInFirmware = watched.seenInFirmware || !isBootLoaderName(adapter.device.product);
        if (!watched.adapter)
            takeOrWait(watched);
    }
    emit adaptersChanged();
}

void Exporter::forgetBootLoadersOfReturnedAdapters(const std::vector<SharedHidBackend::KeyedAdapter> &present)
{
    // A boot loader without serial number has a key of its own, by its port. Once an adapter runs
    // its firmware in that port again, the boot loader was that adapter's, gone with its restart:
    // kept, it would read as an adapter gone for good.
    const auto returned = [&present](const Watched &watched) {
        const auto inFirmwareThere = [&watched](const SharedHidBackend::KeyedAdapter &adapter) {
            return adapter.device.port == watched.seen.port && !isBootLoaderName(adapter.device.product);
        };
        const auto underItsKey = [&watched](const SharedHidBackend::KeyedAdapter &adapter) {
            return adapter.key == watched.key;
        };
        return !watched.seenInFirmware && !watched.seen.port.isEmpty() &&
               std::any_of(present.begin(), present.end(), inFirmwareThere) &&
               std::none_of(present.begin(), present.end(), underItsKey);
    };
    // Taken out of the list before they are destroyed, since an Adapter that goes may still signal.
    std::vector<std::unique_ptr<Watched>> forgotten;
    for (auto watched = m_watched.begin(); watched != m_watched.end();) {
        if (returned(**watched)) {
            forgotten.push_back(std::move(*watched));
            watched = m_watched.erase(watched);
        } else {
            ++watched;
        }
    }
}

void Exporter::watch(const QString &key)
{
    m_watched.push_back(std::make_unique<Watched>(key, m_backend.lockScope()));
    Watched *watched = m_watched.back().get();
    if (watched->lock)
        connect(watched->lock.get(), &AdapterLock::handOverAsked, this, [this, watched] { onHandOverAsked(*watched); });
}

void Exporter::onRetry()
{
    bool changed = false;
    for (const std::unique_ptr<Watched> &watched : m_watched) {
        const bool wasHeld = watched->heldByOtherProgram;
        if (watched->adapter || !watched->present)
            continue;
        takeOrWait(*watched);
        changed = changed || wasHeld != watched->heldByOtherProgram || watched->adapter != nullptr;
    }
    if (changed)
        emit adaptersChanged();
}

void Exporter::onHandOverAsked(Watched &watched)
{
    watched.lastAsked = Clock::now();
    if (!watched.adapter)
        return;
    letGo(watched);
    emit adaptersChanged();
}

void Exporter::takeOrWait(Watched &watched)
{
    if (watched.lock) {
        // The one who asked tries again only every 500 ms, and takes the adapter at the first try
        // after the exporter let go. Taking it back in between would snatch it from them at every
        // try, so the exporter waits until no request has come for a while: they have it, or gave up.
        const bool askedLately = watched.lastAsked && Clock::now() - *watched.lastAsked < AdapterLock::kRequestLifetime;
        watched.heldByOtherProgram = askedLately;
        if (askedLately)
            return;
        if (const Result<void, AdapterLockHolder> taken = watched.lock->take(watched.key); !taken) {
            // A lock that cannot be taken is no other program's: it is reported as what it is.
            watched.heldByOtherProgram = taken.error().failure.isEmpty();
            if (taken.error().failure != std::exchange(watched.lockProblem, taken.error().failure) &&
                !watched.lockProblem.isEmpty())
                qCWarning(lcHid) << "adapter" << watched.key << "cannot be locked:" << watched.lockProblem;
            return;
        }
    }
    watched.lockProblem.clear();
    claim(watched);
}

void Exporter::letGo(Watched &watched)
{
    qCDebug(lcHid) << "adapter" << watched.key << "is handed over on request";
    const Adapter::LinkCounts counts = watched.adapter->linkCounts();
    watched.before.polls += counts.polls;
    watched.before.lostReplies += counts.lostReplies;
    watched.adapter.reset(); // closes the device before the lock lets the other program in
    watched.lock->release();
    watched.heldByOtherProgram = true;
}

void Exporter::claim(Watched &watched)
{
    // The Adapter sees only this adapter, so it stays with it, and reports it gone while it is away.
    const QString key = watched.key;
    watched.heldByOtherProgram = false;
    watched.lastRecord.reset(); // the new Adapter has no record yet
    watched.adapter = std::make_unique<Adapter>([this, key] { return m_backend.view(key); });
    Adapter &adapter = *watched.adapter;
    connect(&adapter, &AdapterPort::recordChanged, this, [this, &watched] {
        watched.lastRecord = Clock::now();
        emit adaptersChanged();
    });
    connect(&adapter, &AdapterPort::sendFailed, this, [&watched] { ++watched.failedWrites; });
    connect(&adapter, &AdapterPort::connectionChanged, this, &Exporter::adaptersChanged);
    adapter.start();
}

Adapter *Exporter::adapter(const QString &key) const
{
    for (const std::unique_ptr<Watched> &watched : m_watched)
        if (watched->key == key)
            return watched->adapter.get();
    return nullptr;
}

QByteArray Exporter::metrics()
{
    if (!m_server)
        return {};
    collect();
    return QByteArray::fromStdString(m_server->metricsText());
}

void Exporter::collect()
{
    ExporterSample exporter;
    exporter.adaptersPresent = m_adaptersPresent;
    const Clock::time_point now = Clock::now();
    for (const std::unique_ptr<Watched> &watched : m_watched) {
        AdapterSample sample;
        sample.key = watched->key;
        sample.product = watched->seen.product;
        sample.serial = watched->seen.serialNumber;
        if (!watched->seen.instance.isEmpty())
            sample.version = deviceVersionText(watched->seen.versionNumber);
        sample.present = watched->present;
        sample.heldByOtherProgram = watched->heldByOtherProgram && watched->present;
        sample.polls = watched->before.polls;
        sample.lostReplies = watched->before.lostReplies;
        if (const Adapter *adapter = watched->adapter.get()) {
            sample.connected = adapter->connected();
            if (watched->lastRecord)
                sample.record = adapter->record();
            const Adapter::LinkCounts counts = adapter->linkCounts();
            sample.polls += counts.polls;
            sample.lostReplies += counts.lostReplies;
        }
        if (watched->lastRecord)
            sample.recordAgeSeconds = std::chrono::duration<double>(now - *watched->lastRecord).count();
        sample.failedWrites = watched->failedWrites;
        exporter.adapters.push_back(std::move(sample));
    }
    m_server->publish(exporterMetrics(exporter, m_codec));
}

namespace {

// The most connections the process may hold open without running out of files.
MetricsServer::Limits serverLimits()
{
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur == RLIM_INFINITY)
        return {};
    return MetricsServer::limitsWithin(files.rlim_cur);
}

void say(const QString &text)
{
    std::fprintf(stderr, "vestra7: %s\n", qPrintable(text));
    std::fflush(stderr);
}

} // namespace

int runExporter(const ToolCommand &command, Adapter::BackendFactory makeBackend)
{
    const ListenAddress listen = command.listen ? *parseListenAddress(*command.listen) : ListenAddress();
    const Result<QString> address = bindAddress(listen);
    if (!address) {
        say(address.error().message);
        return static_cast<int>(ToolExit::Failed);
    }
    Exporter exporter(std::move(makeBackend), {command.serial, command.all}, command.codePage.toLatin1());
    const Result<quint16> port = exporter.start(*address, serverLimits());
    if (!port) {
        say(port.error().message);
        return static_cast<int>(ToolExit::Failed);
    }
    if (listensEverywhere(*address))
        say(QCoreApplication::translate("Exporter", "Listening on every interface: any host that reaches this one "
                                                    "can read the metrics."));
    const QString host = address->left(address->lastIndexOf(QLatin1Char(':')));
    say(QCoreApplication::translate("Exporter", "Serving metrics at http://%1:%2/metrics").arg(host).arg(*port));
    // Stopping is how the exporter ends: an orderly end, not a failure for systemd to report.
    const TerminationSignals stopRequests([](int) { QCoreApplication::quit(); });
    return QCoreApplication::exec();
}

} // namespace vestra7
