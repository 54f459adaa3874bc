// The update window: its controls, the selection of a file, the timed transfer and the adapter's replies.
#include "ui/firmware_update_dialog.h"
#include "ui_firmware_update_dialog.h"

#include "link/commands.h"
#include "link/device_link.h"
#include "link/hid_controller.h"
#include "model/update_file.h"
#include "model/update_progress.h"
#include "widgets/captioned_progress_bar.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QShowEvent>
#include <QTimer>

namespace {

const QString kZeroCaption = QStringLiteral("0 %");

} // namespace

FirmwareUpdateDialog::FirmwareUpdateDialog(DeviceLink &link, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::FirmwareUpdateDialog>())
    , m_link(link)
{
    m_ui->setupUi(this);
    select = m_ui->selectFileButton;
    open = new QFileDialog(this);
    Panel1 = m_ui->identityPanel;
    Label2 = m_ui->deviceNameLabel;
    Label5 = m_ui->serialNumberLabel;
    vers = m_ui->versionLabel;
    dev_name = m_ui->deviceNameEdit;
    dev_serial = m_ui->serialNumberEdit;
    dev_version = m_ui->versionEdit;
    cancel = m_ui->closeButton;
    tmrb = new QTimer(this);
    def = m_ui->resetSettingsButton;
    pb = m_ui->progressBar;

    // A form file holds point sizes only; the window's text is 11 pixels high on every screen.
    QFont font = this->font();
    font.setPixelSize(11);
    setFont(font);
    // A title without buttons: no system menu, no close, minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    open->setNameFilter(QStringLiteral("Update File (*.xupd)"));
    open->setFileMode(QFileDialog::ExistingFile);
    open->setAcceptMode(QFileDialog::AcceptOpen);

    connect(select, &QPushButton::clicked, this, &FirmwareUpdateDialog::selectClick);
    connect(cancel, &QPushButton::clicked, this, &FirmwareUpdateDialog::cancelClick);
    connect(def, &QPushButton::clicked, this, &FirmwareUpdateDialog::defClick);
    connect(tmrb, &QTimer::timeout, this, &FirmwareUpdateDialog::tmrbTimer);
    // The step to the next chunk is a single millisecond; a coarse timer would stretch it.
    tmrb->setTimerType(Qt::PreciseTimer);
    tmrb->start(kFirstTickMs);
}

FirmwareUpdateDialog::~FirmwareUpdateDialog() = default;

void FirmwareUpdateDialog::setIdentity(const QString &name, const QString &serial, const QString &version)
{
    dev_name->setText(name);
    dev_serial->setText(serial);
    dev_version->setText(version);
}

void FirmwareUpdateDialog::enableBootLoaderActions(bool enabled)
{
    if (!m_actionsHeld)
        setActionsEnabled(enabled);
}

void FirmwareUpdateDialog::setActionsEnabled(bool enabled)
{
    select->setEnabled(enabled);
    def->setEnabled(enabled);
}

void FirmwareUpdateDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Spontaneous show events come from the window system (a window mapped again), not from showing it.
    if (!event->spontaneous())
        FormShow();
}

void FirmwareUpdateDialog::FormShow()
{
    m_actionsHeld = false;
    m_transferTarget = nullptr;
    m_link.on_device_change();
    centreOverMainWindow();
    fw_close_request = false;
    fw_sending = false;
    pb->setBarStyle(CaptionedProgressBar::BarStyle::Ordinary);
    showProgress(0, kZeroCaption);
}

void FirmwareUpdateDialog::centreOverMainWindow()
{
    if (parentWidget() == nullptr)
        return;
    const QRect main = parentWidget()->window()->frameGeometry();
    const QSize own = frameGeometry().size();
    move(main.left() + main.width() / 2 - own.width() / 2, main.top() + main.height() / 2 - own.height() / 2);
}

void FirmwareUpdateDialog::tmrbTimer()
{
    if (fw_close_request) {
        // Only a shown window is closed: closing a hidden one again would only repeat its signals.
        if (isVisible())
            done(QDialog::Accepted);
        return;
    }
    setTickInterval(kResendMs);
    if (transferTargetGone()) {
        abandonTransfer();
    } else if (fw_sending) {
        if (fw_image.atEnd()) {
            m_link.post(CMD_FW_END);
            fw_sending = false;
        } else {
            // The position moves only with the acknowledgement, so an unanswered chunk goes again.
            const FirmwareChunk chunk = fw_image.chunk();
            m_link.post(CMD_FW_CHUNK, chunk.data(), static_cast<std::uint16_t>(chunk.size()));
        }
    } else if (isVisible() && !m_link.boot_mode) {
        m_link.post(CMD_ENTER_BOOT);
    }
}

void FirmwareUpdateDialog::setTickInterval(int ms)
{
    // Setting the interval restarts the timer; the one it already has must leave it running as it is.
    if (tmrb->interval() != ms)
        tmrb->setInterval(ms);
}

void FirmwareUpdateDialog::selectClick()
{
    m_actionsHeld = true;
    setActionsEnabled(false);
    const QString path = m_prompts.chooseFile(*open);
    if (path.isEmpty()) {
        endSelection();
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(QMessageBox::Critical, QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
        endSelection();
        return;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        showMessage(QMessageBox::Critical, QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
        endSelection();
        return;
    }
    fw_image.load(content);
    const std::optional<std::uint16_t> payloadOffset = checkUpdateFile(fw_image.bytes(), dev_name->text());
    if (!payloadOffset) {
        pb->setBarState(CaptionedProgressBar::BarState::Error);
        showMessage(QMessageBox::Critical, QStringLiteral("Incorrect file!"));
        pb->setBarState(CaptionedProgressBar::BarState::Normal);
        endSelection();
        return;
    }
    // Both buttons stay off for the whole transfer; the next tick sends the first chunk.
    fw_image.setPosition(*payloadOffset);
    fw_sending = true;
    m_transferTarget = m_link.hid_device.load();
}

bool FirmwareUpdateDialog::transferTargetGone() const
{
    if (!fw_sending && !m_transferTarget)
        return false;
    const HidDevice *claimed = m_link.hid_device.load();
    return claimed != m_transferTarget || (claimed != nullptr && !claimed->isPluggedIn());
}

void FirmwareUpdateDialog::abandonTransfer()
{
    // Sending on from the same position would leave a boot loader that started afresh with an image
    // missing its beginning, and report it a success. The file can be chosen again once a boot loader
    // is there; until then the ticks ask for one.
    fw_sending = false;
    m_transferTarget = nullptr;
    m_link.boot_mode = m_link.bootLoaderPresent();
    m_actionsHeld = false;
    setActionsEnabled(m_link.boot_mode);
    showProgress(0, kZeroCaption);
    showMessage(QMessageBox::Information, QStringLiteral("Error!\r\nRetry again"));
}

void FirmwareUpdateDialog::endSelection()
{
    m_actionsHeld = false;
    setActionsEnabled(true);
    fw_sending = false;
}

void FirmwareUpdateDialog::cancelClick()
{
    m_link.boot_mode = false;
    fw_sending = false;
    m_transferTarget = nullptr;
    m_link.post(CMD_LEAVE_UPDATE);
    done(QDialog::Rejected);
}

void FirmwareUpdateDialog::defClick()
{
    m_link.post(CMD_RESET_SETTINGS);
}

void FirmwareUpdateDialog::uret(std::uint8_t cmd, std::span<const std::uint8_t> p)
{
    switch (cmd) {
    case CMD_FW_CHUNK:
        chunkAcknowledged();
        break;
    case CMD_FW_END:
        // A result without its byte cannot be taken for a success.
        resultReceived(!p.empty() && p[0] != 0);
        break;
    case CMD_RESET_SETTINGS:
        showMessage(QMessageBox::Information, QStringLiteral("Settings is reset!"));
        break;
    default:
        break;
    }
}

void FirmwareUpdateDialog::chunkAcknowledged()
{
    // An acknowledgement carries nothing to say which chunk it answers: each one moves on.
    fw_image.advance();
    setTickInterval(kNextChunkMs);
    QCoreApplication::processEvents();
    showProgress(progressBarValue(fw_image.position(), fw_image.size()),
                 progressCaption(fw_image.position(), fw_image.size()));
}

void FirmwareUpdateDialog::resultReceived(bool success)
{
    // The transfer is over with its result: the adapter restarting into its firmware while the box is
    // open is expected, and the ticks that run meanwhile must not take it for an abandoned transfer.
    fw_sending = false;
    m_transferTarget = nullptr;
    showMessage(QMessageBox::Information,
                success ? QStringLiteral("Update success!") : QStringLiteral("Error!\r\nRetry again"));
    m_link.boot_mode = false;
    fw_close_request = true;
    setTickInterval(kCloseDelayMs);
    showProgress(0, kZeroCaption);
}

void FirmwareUpdateDialog::showProgress(int value, const QString &caption)
{
    pb->setValue(value);
    pb->captionLabel()->setText(caption);
    pb->repaint();
}

void FirmwareUpdateDialog::showMessage(QMessageBox::Icon icon, const QString &text)
{
    m_prompts.showMessage(this, icon, text);
}
