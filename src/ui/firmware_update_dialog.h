// The update window: replaces the adapter's firmware through its boot loader.
#pragma once

#include "model/firmware_image.h"
#include "ui/update_prompts.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <span>

class DeviceLink;
class HidDevice;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class CaptionedProgressBar;

namespace Ui {
class FirmwareUpdateDialog;
}

// Created once at start-up and alive for the whole run; the main window shows it modally. While it
// is shown it wakes the adapter's boot loader, then sends a checked update file chunk by chunk, each
// waiting for the adapter's acknowledgement and sent again when none comes.
class FirmwareUpdateDialog final : public QDialog
{
public:
    explicit FirmwareUpdateDialog(DeviceLink &link, QWidget *parent = nullptr);
    ~FirmwareUpdateDialog() override;

    // Written by discovery, also while the window is hidden: the identity fields, and the two
    // buttons that only the boot loader can serve.
    void setIdentity(const QString &name, const QString &serial, const QString &version);
    void enableBootLoaderActions(bool enabled);

    // A reply of the adapter with a command code from 240 up; `p` is valid only during the call.
    void uret(std::uint8_t cmd, std::span<const std::uint8_t> p);

    // Tests put their own in; the window starts with the modal ones.
    void setPrompts(UpdatePrompts prompts) { m_prompts = std::move(prompts); }

    // Runs each time the window is shown.
    void FormShow();
    // Runs at each tick of tmrb: closes the window, sends the next chunk or the end of the update,
    // or asks the adapter to restart into its boot loader.
    void tmrbTimer();
    // "Select file": checks a file and starts its transfer.
    void selectClick();
    // "Close": leaves the update, also one under way.
    void cancelClick();
    // "Reset settings": asks the boot loader to reset the adapter's settings.
    void defClick();

    // The selected file and the position of the next chunk; kept for the whole run.
    FirmwareImage fw_image;
    // The payload is being sent.
    bool fw_sending = false;
    // The window closes at the next tick.
    bool fw_close_request = false;

    QPushButton *select;
    QFileDialog *open;
    QFrame *Panel1;
    QLabel *Label2;
    QLabel *Label5;
    QLabel *vers;
    QLineEdit *dev_name;
    QLineEdit *dev_serial;
    QLineEdit *dev_version;
    QPushButton *cancel;
    QTimer *tmrb;
    QPushButton *def;
    CaptionedProgressBar *pb;

    // The timer's intervals.
    static constexpr int kFirstTickMs = 500;
    static constexpr int kResendMs = 200; // the time an acknowledgement may take before the chunk goes again
    // After an acknowledgement: the next chunk at once, the shortest wait the timer has.
    static constexpr int kNextChunkMs = 1;
    static constexpr int kCloseDelayMs = 100;

protected:
    void showEvent(QShowEvent *event) override;
    // Escape and the window manager's close request land here: only "Close" or the end of the update
    // leave the window, so that no transfer goes on from a hidden one.
    void reject() override {}

private:
    void setTickInterval(int ms);
    void setActionsEnabled(bool enabled);
    void endSelection();
    void showMessage(QMessageBox::Icon icon, const QString &text);
    void chunkAcknowledged();
    void resultReceived(bool success);
    bool transferTargetGone() const;
    void abandonTransfer();
    void showProgress(int value, const QString &caption);
    void centreOverMainWindow();

    std::unique_ptr<Ui::FirmwareUpdateDialog> m_ui;
    DeviceLink &m_link;
    UpdatePrompts m_prompts = UpdatePrompts::modal();
    // From the selection on, both buttons stay off whatever an enumeration says: a second file chosen
    // during a transfer would mix two images in the adapter.
    bool m_actionsHeld = false;
    // The adapter the accepted file goes to, from the selection until its result. A boot loader found
    // after that one left knows nothing of the chunks sent so far, so the transfer cannot go on there.
    HidDevice *m_transferTarget = nullptr;
};
