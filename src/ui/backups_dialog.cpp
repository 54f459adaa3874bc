// SPDX-License-Identifier: GPL-3.0-or-later
// The backups listed per adapter, the difference of one to the adapter's record, and its restore.
#include "ui/backups_dialog.h"
#include "ui_backups_dialog.h"

#include "link/adapter_port.h"
#include "model/ansi_codec.h"
#include "model/byte_span.h"
#include "model/record_difference.h"
#include "ui/backup_keeper.h"
#include "ui/plain_text.h"

#include <QDir>
#include <QHeaderView>
#include <QLocale>

namespace vestra7 {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kSerialRole = Qt::UserRole + 1; // on an adapter's row

QString partyText(const Party &party)
{
    if (party.name.isEmpty() && party.number.isEmpty())
        return QCoreApplication::translate("BackupsDialog", "(empty)");
    if (party.number.isEmpty())
        return party.name;
    if (party.name.isEmpty())
        return party.number;
    return QCoreApplication::translate("BackupsDialog", "%1, %2").arg(party.name, party.number);
}

QString serialText(const QString &serial)
{
    return serial.isEmpty() ? QCoreApplication::translate("BackupsDialog", "(no serial number)") : serial;
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
    const QString current = m_keeper.policy().currentSerial();
    // No root is no folder at all, not the current one.
    const std::vector<AdapterBackups> all = m_keeper.policy().store().root().isEmpty()
                                                ? std::vector<AdapterBackups>()
                                                : m_keeper.policy().store().allBackups();
    for (const AdapterBackups &adapter : all) {
        const QString serial = serialText(adapter.serial);
        auto *adapterItem =
            new QTreeWidgetItem(m_ui->backupList, {adapter.serial == current && m_keeper.policy().holdsRecord()
                                                       ? tr("Adapter %1 (connected)").arg(serial)
                                                       : tr("Adapter %1").arg(serial)});
        adapterItem->setFirstColumnSpanned(true);
        adapterItem->setData(0, kSerialRole, adapter.serial);
        for (const BackupInfo &backup : adapter.backups) {
            auto *item = new QTreeWidgetItem(
                adapterItem, {backupTime(backup), backupStepText(backup.step),
                              backup.phoneBookEntries ? QString::number(*backup.phoneBookEntries) : tr("unreadable")});
            item->setData(0, kPathRole, backup.path);
            item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
            if (!toSelect && (selected.isEmpty() ? adapter.serial == current : selected == backup.path))
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
    const QString connected = serialText(m_keeper.policy().currentSerial());
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
    // A backup of another adapter is its phone book and settings, not this one's: asked with care.
    const QString from = item->parent()->data(0, kSerialRole).toString();
    const QString to = m_keeper.policy().currentSerial();
    const QString question =
        from == to ? tr("Write the backup taken %1 to adapter %2? It replaces the adapter's whole record: phone book, "
                        "call list and settings. What the adapter holds now is backed up first.")
                         .arg(item->text(0), serialText(to))
                   : tr("Write the backup taken %1 from adapter %2 to another adapter, %3? It replaces that "
                        "adapter's whole record: phone book, call list and settings. What it holds now is backed "
                        "up first.")
                         .arg(item->text(0), serialText(from), serialText(to));
    if (!m_keeper.confirm(this, question, from != to))
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
