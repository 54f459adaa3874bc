// SPDX-License-Identifier: GPL-3.0-or-later
// The update window: chooses the update file, and shows the adapter's identity and the progress and
// outcome of the update that a FirmwareUpdater runs.
#pragma once

#include "model/update_file.h"
#include "ports/firmware_update_port.h"
#include "ui/update_prompts.h"

#include <QDialog>

#include <memory>
#include <optional>

class QFileDialog;

namespace vestra7 {

class AdapterPort;
struct AdapterIdentity;
class BackupKeeper;
enum class BackupStep;

namespace Ui {
class FirmwareUpdateDialog;
}

// Created once at start-up and alive for the whole run; the main window shows it modally. Showing it
// holds the adapter for an update and "Close" lets it go; the update itself runs in the port, and
// what the port reports is shown. Of its own it keeps only whether its buttons are held off.
class FirmwareUpdateDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit FirmwareUpdateDialog(AdapterPort &adapter, QWidget *parent = nullptr);
    ~FirmwareUpdateDialog() override;

    // The adapter's identity as last found: the name is what an update file is checked against.
    QString deviceName() const;
    QString serialNumber() const;
    QString version() const;

    // Tests put their own in; the window starts with the modal ones.
    void setPrompts(UpdatePrompts prompts) { m_prompts = std::move(prompts); }
    // Backs the adapter's record up before a transfer and before "Reset settings"; without one
    // nothing is backed up.
    void setBackupKeeper(BackupKeeper *keeper) { m_backupKeeper = keeper; }

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // Escape and the window manager's close request land here and act as "Close" does, so that no
    // transfer goes on from a hidden one.
    void reject() override { leaveUpdate(); }

private:
    static QString updateFileFilter();
    void selectFile();
    // From "Select file" on, both buttons stay off: a second file chosen during a transfer would mix
    // two images in the adapter. They come back when the selection ends without a file, when the
    // transfer is lost, or at the next showing.
    void holdActions(bool held);
    void onBootLoaderReady(bool ready);
    void onFinished(FirmwareUpdatePort::Outcome result);
    std::optional<QByteArray> readFile(const QString &path);
    // Asks before a transfer, naming the file's model and version against the adapter's firmware.
    bool confirmTransfer(const QByteArray &file);
    // Why the file does not fit, naming its model and the adapter's.
    QString incorrectFileDetail(const QByteArray &file, UpdateFileFault fault) const;
    void resetSettings();
    bool confirm(const QString &question, bool cancelFirst);
    bool backUpBefore(BackupStep step);
    // "Close": during a transfer only once the user agrees.
    void leaveUpdate();
    void setActionsEnabled(bool enabled);
    void showProgress(int value, const QString &caption);
    void showIdentity(const AdapterIdentity &identity);
    void showResult(FirmwareUpdatePort::Outcome result);
    void showMessage(QMessageBox::Icon icon, const QString &text, const QString &detail = {});
    void centreOverMainWindow();

    std::unique_ptr<Ui::FirmwareUpdateDialog> m_ui;
    AdapterPort &m_adapter;
    FirmwareUpdatePort &m_updater;
    QFileDialog *m_fileDialog;
    UpdatePrompts m_prompts = UpdatePrompts::modal();
    BackupKeeper *m_backupKeeper = nullptr;
    // The version of the adapter's firmware, kept while the adapter runs its boot loader, which
    // reports its own version.
    QString m_firmwareVersion;
    bool m_bootLoaderReady = false;
    bool m_actionsHeld = false;
};

} // namespace vestra7
