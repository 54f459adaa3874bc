// SPDX-License-Identifier: GPL-3.0-or-later
// The backups listed per adapter, the difference of one to the adapter's record, and its restore.
#include "ui/backups_dialog.h"
#include "ui_backups_dialog.h"

#include "model/ansi_codec.h"
#include "model/byte_span.h"
#include "model/record_difference.h"
#include "ports/adapter_port.h"
#include "ui/backup_keeper.h"
#include "ui/plain_text.h"

#include <QDir>
#include <QHeaderView>
#include <QLocale>

namespace vestra7 {

namespace {

constexpr int kPathRole = Qt::UserRole;
// On an adapter's row: its identity, and whether its backups may be of any of several adapters.
constexpr int kSerialRole = Qt::UserRole + 1;
constexpr int kPortRole = Qt::UserRole + 2;
constexpr int kSeveralRole = Qt::UserRole + 3;

QString partyText(const Party &party)
{
    if (party.name.isEmpty() && party.number.isEmpty())
        return QCoreApplication::translate("vestra7::BackupsDialog", "(empty)");
    if (party.number.isEmpty())
        return party.name;
    if (party.name.isEmpty())
        return party.number;
    return QCoreApplication::translate("vestra7::BackupsDialog", "%1, %2").arg(party.name, party.number);
}

QString serialText(const QString &serial)
{
    return serial.isEmpty() ? QCoreApplication::translate("vestra7::BackupsDialog", "(no serial number)") : serial;
}

QString adapterText(const StoreIdentity &adapter)
{
    return adapter.byPort() ? QCoreApplication::translate("vestra7::BackupsDialog", "%1 in USB port %2")
                                  .arg(serialText(adapter.serial), adapter.port)
                            : serialText(adapter.serial);
}

QString adapterTitle(const StoreIdentity &adapter, bool connected, bool several)
{
    if (several && adapter.serial.isEmpty())
        return QCoreApplication::translate("vestra7::BackupsDialog",
                                           "Adapters without serial number (kept without their USB "
                                           "port: possibly of any adapter without serial number)");
    if (several)
        return QCoreApplication::translate("vestra7::BackupsDialog",
                                           "Adapter %1 (kept by serial number alone: possibly of "
                                           "either adapter with this serial number)")
            .arg(adapter.serial);
    return connected ? QCoreApplication::translate("vestra7::BackupsDialog", "Adapter %1 (connected)")
                           .arg(adapterText(adapter))
                     : QCoreApplication::translate("vestra7::BackupsDialog", "Adapter %1").arg(adapterText(adapter));
}

// A backup of another adapter is its phone book and settings, not this one's: asked with care, and
// so is one that may be of another adapter with the same serial number.
QString restoreQuestion(const QString &taken, const StoreIdentity &from, bool several, const StoreIdentity &to)
{
    if (several)
        return QCoreApplication::translate(
                   "vestra7::BackupsDialog",
                   "Write the backup taken %1 from adapter %2 to adapter %3? It was kept by serial number alone, "
                   "so it may be of another adapter with that serial number. It replaces the whole record of "
                   "adapter %3: phone book, call list and settings. What it holds now is backed up first.")
            .arg(taken, adapterText(from), adapterText(to));
    if (from == to)
        return QCoreApplication::translate("vestra7::BackupsDialog",
                                           "Write the backup taken %1 to adapter %2? It replaces the adapter's whole "
                                           "record: phone book, call list and settings. What the adapter holds now "
                                           "is backed up first.")
            .arg(taken, adapterText(to));
    return QCoreApplication::translate("vestra7::BackupsDialog",
                                       "Write the backup taken %1 from adapter %2 to another adapter, %3? It replaces "
                                       "that adapter's whole record: phone book, call list and settings. What it "
                                       "holds now is backed up first.")
        .arg(taken, adapterText(from), adapterText(to));
}

// Every step the backup preceded, the first first.
QString stepsText(const std::vector<BackupStep> &steps)
{
    QStringList texts;
    for (const BackupStep step : steps)
        texts << backupStepText(step);
    return texts.join(QCoreApplication::translate("vestra7::BackupsDialog", "; "));
}

QString backupTime(const BackupInfo &backup)
{
    return QLocale().toString(backup.time.toLocalTime(), QLocale::ShortFormat);
}

} // namespace

BackupsDialog::BackupsDialog(BackupKeeper &keeper, AdapterPort &adapter, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::BackupsDialog>())
    , m_keeper(keeper)
    , m_adapter(adapter)
    , m_connected(keeper.policy().adapterConnected())
{
    m_ui->setupUi(this);
    // Folder names, party names and the system's words about files, shown as they are.
    showPlainText(m_ui->folderLabel);
    showPlainText(m_ui->differenceCaption);
    m_ui->folderLabel->setText(tr("The adapter's record is backed up when the program first sees an adapter and "
                                  "before every step that replaces it. The newest %1 backups of each adapter are "
                                  "kept, as configuration files, in %2.")
                                   .arg(BackupStore::kDefaultLimit)
                                   .arg(QDir::toNativeSeparators(m_keeper.policy().store().root())));
    m_ui->splitter->setStretchFactor(0, 1);
    m_ui->splitter->setStretchFactor(1, 1);
    for (QTreeWidget *list : {m_ui->backupList, m_ui->differenceList})
        list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    connect(m_ui->backupList, &QTreeWidget::currentItemChanged, this, &BackupsDialog::showDifferences);
    connect(m_ui->restoreButton, &QPushButton::clicked, this, &BackupsDialog::restoreSelected);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(&m_keeper.policy(), &BackupPolicy::backupsChanged, this, &BackupsDialog::showBackups);
    connect(&m_adapter, &AdapterPort::recordChanged, this, &BackupsDialog::showDifferences);
    connect(&m_adapter, &AdapterPort::connectionChanged, this, &BackupsDialog::setConnected);

    showBackups();
}

BackupsDialog::~BackupsDialog() = default;

void BackupsDialog::showBackups()
{
    // The selection is kept across a new backup, by the file it names.
    const QString selected = selectedPath();
    QTreeWidgetItem *toSelect = nullptr;
    m_ui->backupList->clear();
    const StoreIdentity current = m_keeper.policy().currentAdapter();
    // No root is no folder at all, not the current one.
    const std::vector<AdapterBackups> all = m_keeper.policy().store().root().isEmpty()
                                                ? std::vector<AdapterBackups>()
                                                : m_keeper.policy().store().allBackups();
    for (const AdapterBackups &adapter : all) {
        // The adapter in use, kept by its port, makes a twin of any adapter kept under its serial alone.
        const bool several = adapter.mayBeOfSeveral || (!adapter.identity.byPort() && current.byPort() &&
                                                        current.serial == adapter.identity.serial);
        auto *adapterItem = new QTreeWidgetItem(
            m_ui->backupList,
            {adapterTitle(adapter.identity, adapter.identity == current && m_keeper.policy().holdsRecord(), several)});
        adapterItem->setFirstColumnSpanned(true);
        adapterItem->setData(0, kSerialRole, adapter.identity.serial);
        adapterItem->setData(0, kPortRole, adapter.identity.port);
        adapterItem->setData(0, kSeveralRole, several);
        for (const BackupInfo &backup : adapter.backups) {
            auto *item = new QTreeWidgetItem(
                adapterItem, {backupTime(backup), stepsText(backup.steps),
                              backup.phoneBookEntries ? QString::number(*backup.phoneBookEntries) : tr("unreadable")});
            item->setData(0, kPathRole, backup.path);
            item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
            if (!toSelect && (selected.isEmpty() ? adapter.identity == current : selected == backup.path))
                toSelect = item;
        }
        adapterItem->setExpanded(true);
    }
    m_ui->backupList->setCurrentItem(toSelect);
    showDifferences();
}

QString BackupsDialog::selectedPath() const
{
    const QTreeWidgetItem *item = m_ui->backupList->currentItem();
    return item && item->parent() ? item->data(0, kPathRole).toString() : QString();
}

void BackupsDialog::showDifferences()
{
    m_ui->differenceList->clear();
    const QString path = selectedPath();
    const Result<DeviceRecord> stored = path.isEmpty() ? Error{} : readBackup(path);
    m_ui->restoreButton->setEnabled(stored && m_connected);
    if (path.isEmpty()) {
        m_ui->differenceCaption->setText(tr("Select a backup to see how it differs from the adapter's record."));
        return;
    }
    if (!stored) {
        m_ui->differenceCaption->setText(stored.error().message);
        return;
    }
    if (!m_keeper.policy().holdsRecord()) {
        m_ui->differenceCaption->setText(tr("No adapter's record has been read yet to compare the backup with."));
        return;
    }
    const std::vector<RecordDifference> differences =
        recordDifferences(m_adapter.record(), *stored, AnsiCodec::system());
    const QString connected = adapterText(m_keeper.policy().currentAdapter());
    m_ui->differenceCaption->setText(
        differences.empty()
            ? tr("The backup holds the same phone book, call list and settings as adapter %1 now.").arg(connected)
            : tr("Items of the backup that differ from the record of adapter %1 now: %2")
                  .arg(connected)
                  .arg(differences.size()));
    for (const RecordDifference &difference : differences) {
        const bool entry = difference.item == RecordItem::Contact || difference.item == RecordItem::CallListEntry;
        new QTreeWidgetItem(m_ui->differenceList,
                            {differenceLabel(difference),
                             entry ? partyText(difference.newParty) : difference.newText.trimmed(),
                             entry ? partyText(difference.oldParty) : difference.oldText.trimmed()});
    }
}

void BackupsDialog::restoreSelected()
{
    const QTreeWidgetItem *item = m_ui->backupList->currentItem();
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    const Result<DeviceRecord> stored = readBackup(path);
    if (!stored) {
        m_ui->differenceCaption->setText(stored.error().message);
        return;
    }
    const QTreeWidgetItem *adapterItem = item->parent();
    const StoreIdentity from(adapterItem->data(0, kSerialRole).toString(), adapterItem->data(0, kPortRole).toString());
    const bool several = adapterItem->data(0, kSeveralRole).toBool();
    const StoreIdentity to = m_keeper.policy().currentAdapter();
    if (!m_keeper.confirm(this, restoreQuestion(item->text(0), from, several, to), several || from != to))
        return;
    if (!m_keeper.backUpBefore(BackupStep::Restore, this))
        return;
    m_adapter.loadConfiguration(toByteArray(stored->bytes()));
}

void BackupsDialog::setConnected(bool connected)
{
    m_connected = connected;
    showDifferences();
}

} // namespace vestra7
