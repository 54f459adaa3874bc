// SPDX-License-Identifier: GPL-3.0-or-later
// The update window: its controls, the selection of a file, and the updater's reports on screen.
#include "ui/firmware_update_dialog.h"
#include "ui_firmware_update_dialog.h"

#include "model/backup_step.h"
#include "model/boot_loader_name.h"
#include "model/byte_span.h"
#include "model/firmware_image.h"
#include "model/firmware_version.h"
#include "model/input_file.h"
#include "model/update_file.h"
#include "model/update_progress.h"
#include "ports/adapter_port.h"
#include "ports/firmware_update_port.h"
#include "ui/backup_keeper.h"
#include "ui/message_boxes.h"
#include "ui/window_placement.h"
#include "widgets/captioned_progress_bar.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileDialog>
#include <QShowEvent>

namespace vestra7 {

namespace {

const QString kZeroCaption = QStringLiteral("0 %");

} // namespace

FirmwareUpdateDialog::FirmwareUpdateDialog(AdapterPort &adapter, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::FirmwareUpdateDialog>())
    , m_adapter(adapter)
    , m_updater(adapter.firmwareUpdate())
    , m_fileDialog(new QFileDialog(this))
{
    m_ui->setupUi(this);

    // A form file holds point sizes only; the window's text is 11 pixels high on every screen.
    QFont font = this->font();
    font.setPixelSize(11);
    setFont(font);
    // A title without buttons: no system menu, no close, minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    m_fileDialog->setNameFilter(updateFileFilter());
    m_fileDialog->setFileMode(QFileDialog::ExistingFile);
    m_fileDialog->setAcceptMode(QFileDialog::AcceptOpen);

    connect(m_ui->selectFileButton, &QPushButton::clicked, this, &FirmwareUpdateDialog::selectFile);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &FirmwareUpdateDialog::leaveUpdate);
    connect(m_ui->resetSettingsButton, &QPushButton::clicked, this, &FirmwareUpdateDialog::resetSettings);

    connect(&m_updater, &FirmwareUpdatePort::bootLoaderReadyChanged, this, &FirmwareUpdateDialog::onBootLoaderReady);
    connect(&m_updater, &FirmwareUpdatePort::progressChanged, this, [this](std::uint64_t position, std::uint64_t size) {
        showProgress(progressBarValue(position, size), progressCaption(position, size));
    });
    connect(&m_updater, &FirmwareUpdatePort::progressCleared, this, [this] { showProgress(0, kZeroCaption); });
    connect(&m_updater, &FirmwareUpdatePort::finished, this, &FirmwareUpdateDialog::onFinished);
    connect(&m_updater, &FirmwareUpdatePort::settingsReset, this,
            [this] { showMessage(QMessageBox::Information, tr("Settings is reset!")); });
    // The result has been shown: the window's work is done.
    connect(&m_updater, &FirmwareUpdatePort::ended, this, [this] { done(QDialog::Accepted); });
    // Kept also while the window is hidden: the name is what an update file is checked against.
    connect(&m_adapter, &AdapterPort::identityChanged, this, &FirmwareUpdateDialog::showIdentity);
}

FirmwareUpdateDialog::~FirmwareUpdateDialog() = default;

QString FirmwareUpdateDialog::updateFileFilter()
{
    return tr("Update File (*.xupd)");
}

void FirmwareUpdateDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        m_ui->retranslateUi(this);
        m_fileDialog->setNameFilter(updateFileFilter());
    }
}

void FirmwareUpdateDialog::showIdentity(const AdapterIdentity &identity)
{
    m_ui->deviceNameEdit->setText(identity.product);
    m_ui->serialNumberEdit->setText(identity.serial);
    m_ui->versionEdit->setText(identity.version);
    if (!isBootLoaderName(identity.product))
        m_firmwareVersion = identity.version;
}

QString FirmwareUpdateDialog::deviceName() const
{
    return m_ui->deviceNameEdit->text();
}

QString FirmwareUpdateDialog::serialNumber() const
{
    return m_ui->serialNumberEdit->text();
}

QString FirmwareUpdateDialog::version() const
{
    return m_ui->versionEdit->text();
}

void FirmwareUpdateDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Spontaneous show events come from the window system (a window mapped again), not from showing it.
    if (event->spontaneous())
        return;
    m_updater.enterBootLoader();
    // The buttons wait for discovery to say what the adapter runs.
    m_actionsHeld = false;
    // A fresh look for the adapter brings the identity and the buttons up to date.
    m_adapter.searchAgain();
    centreOverMainWindow();
    m_ui->progressBar->setBarStyle(CaptionedProgressBar::BarStyle::Ordinary);
    showProgress(0, kZeroCaption);
}

void FirmwareUpdateDialog::centreOverMainWindow()
{
    if (parentWidget() == nullptr)
        return;
    centreOver(*this, *parentWidget()->window());
}

void FirmwareUpdateDialog::selectFile()
{
    holdActions(true);
    const QString path = m_prompts.chooseFile(*m_fileDialog);
    if (path.isEmpty()) {
        holdActions(false);
        return;
    }
    const std::optional<QByteArray> content = readFile(path);
    if (!content) {
        holdActions(false);
        return;
    }
    const Result<std::uint16_t, UpdateFileFault> payloadOffset = checkUpdateFile(asBytes(*content), deviceName());
    if (!payloadOffset) {
        m_ui->progressBar->setBarState(CaptionedProgressBar::BarState::Error);
        showMessage(QMessageBox::Critical, tr("Incorrect file!"), incorrectFileDetail(*content, payloadOffset.error()));
        m_ui->progressBar->setBarState(CaptionedProgressBar::BarState::Normal);
        holdActions(false);
        return;
    }
    if (!confirmTransfer(*content) || !backUpBefore(BackupStep::FirmwareUpdate)) {
        holdActions(false);
        return;
    }
    FirmwareImage image;
    image.load(*content);
    image.setPosition(*payloadOffset);
    m_updater.transfer(std::move(image));
}

void FirmwareUpdateDialog::holdActions(bool held)
{
    m_actionsHeld = held;
    setActionsEnabled(!held && m_bootLoaderReady);
}

void FirmwareUpdateDialog::onBootLoaderReady(bool ready)
{
    m_bootLoaderReady = ready;
    if (!m_actionsHeld)
        setActionsEnabled(ready);
}

void FirmwareUpdateDialog::onFinished(FirmwareUpdatePort::Outcome result)
{
    // A lost adapter leaves the window open for the next try, once a boot loader is back.
    if (result == FirmwareUpdatePort::Outcome::AdapterLost)
        holdActions(false);
    showResult(result);
}

QString FirmwareUpdateDialog::incorrectFileDetail(const QByteArray &file, UpdateFileFault fault) const
{
    const std::optional<std::span<const std::uint8_t>> headerText = updateHeaderText(asBytes(file));
    const QString adapterModel = deviceModelName(deviceName()).trimmed();
    if (fault == UpdateFileFault::NoHeader || !headerText)
        return tr("The file has no update header. The adapter is a %1.").arg(adapterModel);
    const QString fileModel = updateModelName(*headerText).trimmed();
    if (fault == UpdateFileFault::NoPayload)
        return tr("The file, for a %1, holds no firmware behind its header.").arg(fileModel);
    return tr("The file is for a %1; the adapter is a %2.").arg(fileModel, adapterModel);
}

bool FirmwareUpdateDialog::confirmTransfer(const QByteArray &file)
{
    const std::span<const std::uint8_t> headerText =
        updateHeaderText(asBytes(file)).value_or(std::span<const std::uint8_t>());
    const QString model = updateModelName(headerText).trimmed();
    const QString fileVersion = updateVersion(headerText);
    const VersionOrder order = compareVersions(fileVersion, m_firmwareVersion);
    QString comparison;
    switch (order) {
    case VersionOrder::Newer:
        comparison = tr("The file holds a newer version than the adapter runs.");
        break;
    case VersionOrder::Same:
        comparison = tr("The file holds the same version as the adapter runs already.");
        break;
    case VersionOrder::Older:
        comparison = tr("The file holds an older version than the adapter runs: this is a downgrade.");
        break;
    case VersionOrder::Unknown:
        comparison = tr("Which of the two versions is newer cannot be told.");
        break;
    }
    const QString unknown = tr("unknown");
    // An installer compares the checksum with the one published beside the file.
    const QString sha256 = QString::fromLatin1(QCryptographicHash::hash(file, QCryptographicHash::Sha256).toHex());
    return confirm(tr("This replaces the adapter's firmware.\n\nFile: %1, version %2\nAdapter: version %3\n\n%4\n\n"
                      "SHA-256 of the file: %5\n\nTransfer the file?")
                       .arg(model, fileVersion.isEmpty() ? unknown : fileVersion,
                            m_firmwareVersion.isEmpty() ? unknown : m_firmwareVersion, comparison, sha256),
                   order == VersionOrder::Same || order == VersionOrder::Older);
}

void FirmwareUpdateDialog::resetSettings()
{
    if (!confirm(tr("\"Reset settings\" clears the adapter's settings, its phone book and its call list.\n\n"
                    "Reset them?"),
                 true) ||
        !backUpBefore(BackupStep::ResetSettings))
        return;
    m_updater.resetSettings();
}

bool FirmwareUpdateDialog::confirm(const QString &question, bool cancelFirst)
{
    if (m_prompts.confirm)
        return m_prompts.confirm(this, question, cancelFirst);
    if (m_backupKeeper)
        return m_backupKeeper->confirm(this, question, cancelFirst);
    return confirmThrough({}, this, question, cancelFirst);
}

bool FirmwareUpdateDialog::backUpBefore(BackupStep step)
{
    return !m_backupKeeper || m_backupKeeper->backUpBefore(step, this);
}

std::optional<QByteArray> FirmwareUpdateDialog::readFile(const QString &path)
{
    Result<QByteArray> file = readWholeFile(path, InputKind::Update);
    if (!file) {
        showMessage(QMessageBox::Critical, file.error().message);
        return std::nullopt;
    }
    return std::move(*file);
}

void FirmwareUpdateDialog::leaveUpdate()
{
    // Leaving a transfer part-way leaves the adapter with half an image, which its boot loader does
    // not start.
    if (m_updater.transferring() &&
        !confirm(tr("The transfer is not finished. The adapter stays in its boot loader until a transfer "
                    "completes; choosing the same file again starts it over.\n\nClose anyway?"),
                 true))
        return;
    m_updater.leaveBootLoader();
    done(QDialog::Rejected);
}

void FirmwareUpdateDialog::setActionsEnabled(bool enabled)
{
    m_ui->selectFileButton->setEnabled(enabled);
    m_ui->resetSettingsButton->setEnabled(enabled);
}

void FirmwareUpdateDialog::showProgress(int value, const QString &caption)
{
    m_ui->progressBar->setValue(value);
    m_ui->progressBar->captionLabel()->setText(caption);
    m_ui->progressBar->repaint();
}

void FirmwareUpdateDialog::showResult(FirmwareUpdatePort::Outcome result)
{
    showMessage(QMessageBox::Information,
                result == FirmwareUpdatePort::Outcome::Success ? tr("Update success!") : tr("Error!\r\nRetry again"));
}

void FirmwareUpdateDialog::showMessage(QMessageBox::Icon icon, const QString &text, const QString &detail)
{
    m_prompts.showMessage(this, icon, text, detail);
}

} // namespace vestra7
