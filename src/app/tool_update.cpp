// SPDX-License-Identifier: GPL-3.0-or-later
// Updating several adapters in step: each prepared, all asked into their boot loaders, all images
// sent at once, all awaited back in their firmware.
#include "app/tool_update.h"

#include "app/tool_backup.h"
#include "app/tool_progress.h"
#include "app/tool_text.h"
#include "backups/backup_policy.h"
#include "model/backup_step.h"
#include "model/byte_span.h"
#include "model/firmware_version.h"
#include "model/update_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>

namespace vestra7 {

struct ToolUpdate::Lane
{
    PresentAdapter target;
    int row = 0; // its line in the progress
    std::unique_ptr<Adapter> adapter;
    std::unique_ptr<ToolSession> session;
    std::unique_ptr<BackupPolicy> backups;
    std::optional<ToolOutcome> outcome; // set once the adapter's update has come to an end
    QString backup;
    QString from;           // what the adapter ran before
    bool leaving = false;   // taken out of its boot loader after a failure: waited for, nothing more
    bool returning = false; // updated: back in its firmware, it is taken once more for its version
    std::uint64_t lastPosition = 0;
    bool resultSeen = false;
    QElapsedTimer sinceProgress; // since the last chunk was acknowledged
};

ToolUpdate::ToolUpdate(const ToolCommand &command, QByteArray file, ToolWaiter &waiter, Setup setup)
    : m_command(command)
    , m_file(std::move(file))
    , m_waiter(waiter)
    , m_setup(std::move(setup))
{
}

ToolUpdate::~ToolUpdate() = default;

std::vector<std::optional<ToolOutcome>> ToolUpdate::run(const std::vector<PresentAdapter> &targets)
{
    // An adapter without a serial number of its own, or with one another shares, may restart into a
    // boot loader that cannot be told from another's: only one such goes at a time.
    std::vector<std::vector<Lane *>> batches(1);
    bool indistinctGoing = false;
    for (const PresentAdapter &target : targets) {
        auto lane = std::make_unique<Lane>();
        lane->target = target;
        const bool distinct = !target.serial.isEmpty() &&
                              std::count_if(targets.begin(), targets.end(),
                                            [&](const PresentAdapter &t) { return t.serial == target.serial; }) == 1;
        if (distinct || !std::exchange(indistinctGoing, true))
            batches.front().push_back(lane.get());
        else
            batches.push_back({lane.get()});
        m_lanes.push_back(std::move(lane));
    }
    for (const std::vector<Lane *> &batch : batches) {
        // Asked to end, the adapters not begun with are left alone, and not reported.
        if (m_waiter.interruption() != 0)
            break;
        runBatch(batch);
    }
    std::vector<std::optional<ToolOutcome>> outcomes;
    for (const std::unique_ptr<Lane> &lane : m_lanes) {
        if (lane->outcome)
            lane->outcome->backup = lane->backup;
        outcomes.push_back(lane->outcome);
    }
    return outcomes;
}

void ToolUpdate::runBatch(const std::vector<Lane *> &lanes)
{
    for (Lane *lane : lanes)
        startLane(*lane);
    m_waiter.waitUntil(
        [&] { return std::all_of(lanes.begin(), lanes.end(), [](Lane *lane) { return lane->session->searched(); }); },
        m_setup.timeouts.answer);
    std::vector<Lane *> going;
    for (Lane *lane : lanes) {
        if (m_waiter.interruption() != 0)
            break;
        if (ToolStep prepared = prepare(*lane); !prepared)
            lane->outcome = prepared.error();
        else if (!lane->outcome)
            going.push_back(lane);
    }
    const std::vector<Lane *> ready = enterBootLoaders(going);
    transferAll(ready);
    settle(lanes);
    interruptLanes(lanes);
    for (Lane *lane : lanes)
        lane->adapter->shutdown();
}

void ToolUpdate::startLane(Lane &lane)
{
    lane.adapter = std::make_unique<Adapter>(m_setup.makeBackend);
    lane.adapter->claimOnly(lane.target.key);
    lane.session = std::make_unique<ToolSession>(*lane.adapter, m_waiter, m_setup.timeouts);
    lane.backups = std::make_unique<BackupPolicy>(*lane.adapter, m_setup.backupRoot);
    // A dry run writes nothing, not even the backup of an adapter seen for the first time.
    lane.backups->setBackUpFirstSeen(!m_command.dryRun);
    lane.backups->setSeenAdapters(m_setup.seenAdapters);
    lane.adapter->start();
}

ToolStep ToolUpdate::prepare(Lane &lane)
{
    const QString &file = m_command.file;
    Adapter &adapter = *lane.adapter;
    if (ToolStep reached = lane.session->reach(lane.target, false); !reached)
        return reached;
    // An adapter met in its boot loader (an interrupted update) runs no version to compare and has
    // no record to keep: the update is its way back.
    lane.from = QCoreApplication::translate("ToolRunner", "its boot loader");
    if (adapter.connected()) {
        const AdapterIdentity identity = adapter.identity();
        // The file has a header: one without was refused when it was read.
        const std::span<const std::uint8_t> headerText =
            updateHeaderText(asBytes(m_file)).value_or(std::span<const std::uint8_t>());
        // Before the restart, so that a wrong file leaves the adapter running as it was.
        if (!updateFileNamesModel(asBytes(m_file), identity.product))
            return ToolOutcome{
                ToolExit::Failed,
                QCoreApplication::translate("ToolRunner", "The update file is for a %1; the adapter is a %2.")
                    .arg(updateModelName(headerText).trimmed(), identity.product.trimmed()),
                file};
        const QString version = updateVersion(headerText);
        const VersionOrder order = compareVersions(version, identity.version);
        if ((order == VersionOrder::Same || order == VersionOrder::Older) && !m_command.force)
            return ToolOutcome{ToolExit::Failed,
                               QCoreApplication::translate(
                                   "ToolRunner",
                                   "The update file holds version %1 and the adapter runs version %2: the file is not "
                                   "newer. Nothing was written; --force installs it all the same.")
                                   .arg(version, identity.version),
                               file};
        lane.from = QCoreApplication::translate("ToolRunner", "version %1").arg(identity.version);
        if (ToolStep read = lane.session->readRecord(); !read)
            return read;
        Result<QString, ToolOutcome> backup =
            commandBackup(*lane.backups, m_command, BackupStep::FirmwareUpdate, *m_setup.err);
        if (!backup)
            return backup.error();
        lane.backup = *backup;
    }
    if (m_command.dryRun)
        lane.outcome =
            ToolOutcome{ToolExit::Done,
                        QCoreApplication::translate("ToolRunner", "would update from %1 with %2").arg(lane.from, file) +
                            backupNoteText(m_command, lane.backup),
                        file,
                        {},
                        lane.backup};
    return {};
}

std::vector<ToolUpdate::Lane *> ToolUpdate::enterBootLoaders(const std::vector<Lane *> &lanes)
{
    // Asked to end before the restarts, every adapter is left running as it was.
    if (m_waiter.interruption() != 0)
        return {};
    for (Lane *lane : lanes)
        lane->session->firmwareUpdate().enterBootLoader();
    m_waiter.waitUntil(
        [&] {
            return std::all_of(lanes.begin(), lanes.end(),
                               [](Lane *lane) { return lane->session->inBootLoader(lane->target); });
        },
        m_setup.timeouts.restart);
    std::vector<Lane *> ready;
    for (Lane *lane : lanes) {
        if (lane->session->inBootLoader(lane->target)) {
            ready.push_back(lane);
        } else if (m_waiter.interruption() == 0) {
            lane->session->firmwareUpdate().leaveBootLoader();
            lane->outcome = ToolOutcome{
                ToolExit::Failed,
                QCoreApplication::translate("ToolRunner", "The adapter did not restart into its boot loader."),
                m_command.file};
        }
    }
    return ready;
}

void ToolUpdate::transferAll(const std::vector<Lane *> &lanes)
{
    QStringList labels;
    std::vector<Lane *> sending;
    for (Lane *lane : lanes) {
        const QString product = lane->adapter->identity().product;
        const Result<std::uint16_t, UpdateFileFault> payloadOffset = checkUpdateFile(asBytes(m_file), product);
        if (!payloadOffset) {
            lane->session->firmwareUpdate().leaveBootLoader();
            lane->leaving = true;
            lane->outcome = ToolOutcome{
                ToolExit::Failed,
                QCoreApplication::translate("ToolRunner", "The update file is not meant for this adapter (%1).")
                    .arg(product),
                m_command.file};
            continue;
        }
        FirmwareImage image;
        image.load(m_file);
        image.setPosition(*payloadOffset);
        lane->row = static_cast<int>(labels.size());
        labels.append(escapedDeviceText(lane->target.key));
        lane->session->transfer(std::move(image));
        lane->lastPosition = lane->session->updatePosition();
        lane->sinceProgress.start();
        sending.push_back(lane);
    }
    if (sending.empty())
        return;
    ToolProgress progress(*m_setup.err, m_setup.terminal, labels);
    std::vector<QMetaObject::Connection> shown;
    for (Lane *lane : sending)
        shown.push_back(QObject::connect(&lane->session->firmwareUpdate(), &FirmwareUpdatePort::progressChanged,
                                         [&progress, row = lane->row](std::uint64_t position, std::uint64_t size) {
                                             progress.show(row, position, size);
                                         }));
    awaitResults(sending);
    for (const QMetaObject::Connection &connection : shown)
        QObject::disconnect(connection);
    progress.finish();
}

void ToolUpdate::awaitResults(const std::vector<Lane *> &lanes)
{
    using std::chrono::milliseconds;
    // A chunk without an answer goes again; only an adapter that answers nothing for long stops, and
    // stops only itself.
    const auto quiet = [](const Lane *lane) {
        return milliseconds(lane->sinceProgress.elapsed());
    };
    const auto waiting = [&](const Lane *lane) {
        return !lane->session->updateResult() && quiet(lane) < m_setup.timeouts.restart;
    };
    const auto news = [&] {
        return std::any_of(lanes.begin(), lanes.end(), [](const Lane *lane) {
            return (lane->session->updateResult() && !lane->resultSeen) ||
                   lane->session->updatePosition() != lane->lastPosition;
        });
    };
    while (m_waiter.interruption() == 0 && std::any_of(lanes.begin(), lanes.end(), waiting)) {
        milliseconds next = m_setup.timeouts.restart;
        for (const Lane *lane : lanes)
            if (waiting(lane))
                next = std::min(next, m_setup.timeouts.restart - quiet(lane));
        m_waiter.waitUntil(news, next);
        for (Lane *lane : lanes) {
            lane->resultSeen = lane->session->updateResult().has_value();
            if (lane->session->updatePosition() != std::exchange(lane->lastPosition, lane->session->updatePosition()))
                lane->sinceProgress.start();
        }
    }
    if (m_waiter.interruption() != 0)
        return;
    for (Lane *lane : lanes) {
        const std::optional<FirmwareUpdatePort::Outcome> &result = lane->session->updateResult();
        if (!result) {
            lane->session->firmwareUpdate().leaveBootLoader();
            lane->leaving = true;
            lane->outcome = ToolOutcome{
                ToolExit::Failed,
                QCoreApplication::translate("ToolRunner", "The adapter stopped answering during the update."),
                m_command.file};
        } else if (*result != FirmwareUpdatePort::Outcome::Success) {
            lane->outcome = ToolOutcome{
                ToolExit::Failed, QCoreApplication::translate("ToolRunner", "The update failed."), m_command.file};
        } else {
            lane->returning = true;
        }
    }
}

void ToolUpdate::settle(const std::vector<Lane *> &lanes)
{
    if (m_waiter.interruption() != 0)
        return;
    std::vector<Lane *> back;
    std::copy_if(lanes.begin(), lanes.end(), std::back_inserter(back),
                 [](const Lane *lane) { return lane->leaving || lane->returning; });
    m_waiter.waitUntil(
        [&] {
            return std::all_of(back.begin(), back.end(),
                               [](const Lane *lane) { return lane->session->backInFirmware(lane->target); });
        },
        m_setup.timeouts.restart);
    for (Lane *lane : back) {
        if (!lane->returning)
            continue;
        if (!lane->session->backInFirmware(lane->target)) {
            lane->outcome = ToolOutcome{
                ToolExit::Failed,
                QCoreApplication::translate("ToolRunner", "The adapter did not come back from its boot loader."),
                m_command.file};
        } else if (ToolStep reached = lane->session->reach(lane->target, true); !reached) {
            lane->outcome = reached.error();
        } else {
            lane->outcome = ToolOutcome{ToolExit::Done,
                                        QCoreApplication::translate("ToolRunner", "updated with %1, version %2")
                                                .arg(m_command.file, lane->adapter->identity().version) +
                                            backupNoteText(m_command, lane->backup),
                                        m_command.file,
                                        {},
                                        lane->backup};
        }
    }
}

void ToolUpdate::interruptLanes(const std::vector<Lane *> &lanes)
{
    const int signal = m_waiter.interruption();
    if (signal == 0)
        return;
    // Interrupted, an adapter stays where it is: leaving would not start half an image anyway.
    for (Lane *lane : lanes)
        lane->outcome = interruptedOutcome(m_command, lane->target, lane->session->inBootLoader(lane->target), signal,
                                           m_command.file);
}

} // namespace vestra7
