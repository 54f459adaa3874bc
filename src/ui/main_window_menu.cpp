// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menu commands: configuration files, the update window, the settings panel, the
// reset to defaults, and the About boxes of the adapter and of the program.
#include "ui/main_window.h"

#include "link/adapter_port.h"
#include "model/backup_step.h"
#include "model/config_file.h"
#include "model/device_record.h"
#include "ui/logging.h"

#include "ui_main_window.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>

void MainWindow::onSaveToFile()
{
    if (!m_saveFileDialog.Execute(this))
        return;
    const QString fileName = withConfigExtension(m_saveFileDialog.FileName());
    m_saveFileDialog.setFileName(fileName);
    qCDebug(lcUi) << "save to file" << fileName;
    if (const Result<void> saved = saveConfigFile(fileName, m_adapter.record()); !saved)
        errorBox(this, m_applicationTitle, saved.error().message);
}

void MainWindow::onLoadFromFile()
{
    if (!m_openFileDialog.Execute(this))
        return;
    qCDebug(lcUi) << "load from file" << m_openFileDialog.FileName();
    const Result<ConfigFileContent> content = readConfigFile(m_openFileDialog.FileName());
    if (!content) {
        errorBox(this, m_applicationTitle, content.error().message);
        return;
    }
    // A file of another size is most likely no configuration at all; it still loads, as far as it goes,
    // once the user says so. Only the first record's worth is read, so the size comes from the file.
    const qint64 size = QFileInfo(m_openFileDialog.FileName()).size();
    if (size != static_cast<qint64>(kRecordSize) &&
        !confirm(tr("\"%1\" is not the size of a configuration file: its size is %2 bytes, a configuration "
                    "file's is %3 bytes. Loading it overwrites the adapter's record from its start with whatever "
                    "the file holds.\n\nLoad it anyway?")
                     .arg(QDir::toNativeSeparators(m_openFileDialog.FileName()))
                     .arg(size)
                     .arg(kRecordSize),
                 true))
        return;
    if (!backUpBefore(BackupStep::LoadFromFile))
        return;
    // With the focus on the window itself and on none of its controls, the next refresh shows the
    // loaded party in the edits, even if one of them had the focus.
    setFocus(Qt::OtherFocusReason);
    m_adapter.loadConfiguration(content->bytes);
}

void MainWindow::onUpdateFirmware()
{
    if (!m_updateWindow)
        return;
    // The adapter restarts into its boot loader as soon as the window shows, which ends any call.
    if (m_connected && lineInCall() &&
        !confirm(tr("A line is in a call. Updating the firmware restarts the adapter, which ends the call.\n\n"
                    "Go on?"),
                 true))
        return;
    // Give a window that was never shown the size it will show with, so that the centring holds.
    if (!m_updateWindow->testAttribute(Qt::WA_Resized))
        m_updateWindow->adjustSize();
    const QRect main = frameGeometry();
    const QRect update = m_updateWindow->frameGeometry();
    m_updateWindow->move(main.left() + main.width() / 2 - update.width() / 2,
                         main.top() + main.height() / 2 - update.height() / 2);
    qCDebug(lcUi) << "update window opened";
    m_updateWindow->exec();
    qCDebug(lcUi) << "update window closed";
}

void MainWindow::onToggleSettings()
{
    m_ui->settingsPanel->setVisible(m_ui->settingsPanel->isHidden());
    qCDebug(lcUi) << (m_ui->settingsPanel->isHidden() ? "settings panel hidden" : "settings panel shown");
}

void MainWindow::onSetToDefault()
{
    if (!confirm(tr("Set to default?") + QStringLiteral("\n\n") +
                 tr("This also empties the phone book and the call list. What the adapter holds now is kept in a "
                    "backup.")) ||
        !backUpBefore(BackupStep::SetToDefault)) {
        qCDebug(lcUi) << "set to default: cancelled";
        return;
    }
    qCDebug(lcUi) << "set to default";
    // The selectors show the new values with the adapter's reply.
    m_adapter.resetToDefaults();
}

void MainWindow::onAbout()
{
    const AdapterIdentity identity = m_adapter.identity();
    // One pass over the placeholders, so that an identity holding "%1" is shown as it is.
    informationBox(this, tr("Information"),
                   tr("Model: %1\r\nSerial: %2\r\nSoftware version: %3\r\nProgram version: %4")
                       .arg(identity.product, identity.serial, identity.version, QStringLiteral(VESTRA7_VERSION)));
}

void MainWindow::onAboutProgram()
{
    informationBox(this, tr("About vestra7"),
                   tr("vestra7 %1\nConfiguration and control tool for the VESTRA7 cellular voice adapter\n\n"
                      "Qt %2\nLicence: GPL-3.0-or-later")
                       .arg(QStringLiteral(VESTRA7_VERSION), QString::fromLatin1(qVersion())));
}
