// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's "Tools" menu: the backups of the adapter's record, and the phone book exported
// to and imported from vCard and CSV files.
#include "ui/main_window.h"

#include "link/adapter_port.h"
#include "model/ansi_codec.h"
#include "model/backup_step.h"
#include "model/phone_book_exchange.h"
#include "ui/backup_keeper.h"
#include "ui/backups_dialog.h"
#include "ui/import_preview_dialog.h"

#include "ui_main_window.h"

#include <QFileInfo>
#include <QMenu>

void MainWindow::addToolsMenu()
{
    // Last on the menu bar, so that the entries before it keep their places.
    m_toolsMenu = m_ui->mainMenu->addMenu(tr("&Tools"));
    m_toolsMenu->setObjectName(QStringLiteral("toolsMenu"));
    QMenu *tools = m_toolsMenu;
    QAction *backups = tools->addAction(tr("&Backups…"), this, &MainWindow::onShowBackups);
    backups->setObjectName(QStringLiteral("backupsAction"));
    QAction *lineStatus = tools->addAction(tr("&Line status…"), this, &MainWindow::onShowLineStatus);
    lineStatus->setObjectName(QStringLiteral("lineStatusAction"));
    lineStatus->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    tools->addSeparator();
    QAction *importContacts = tools->addAction(tr("&Import contacts…"), this, &MainWindow::onImportContacts);
    importContacts->setObjectName(QStringLiteral("importContactsAction"));
    QAction *exportContacts = tools->addAction(tr("&Export contacts…"), this, &MainWindow::onExportContacts);
    exportContacts->setObjectName(QStringLiteral("exportContactsAction"));
    addCodePageChoice();
}

void MainWindow::onShowBackups()
{
    if (!m_backupKeeper)
        return;
    BackupsDialog backups(*m_backupKeeper, m_adapter, this);
    backups.exec();
}

void MainWindow::onShowLineStatus()
{
    if (!m_lineStatusWindow)
        return;
    m_lineStatusWindow->show();
    m_lineStatusWindow->raise();
    m_lineStatusWindow->activateWindow();
}

void MainWindow::onExportContacts()
{
    if (!m_exportContactsDialog.Execute(this))
        return;
    QString fileName = m_exportContactsDialog.FileName();
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix != QLatin1String("vcf") && suffix != QLatin1String("csv"))
        fileName += QStringLiteral(".vcf");
    m_exportContactsDialog.setFileName(fileName);
    if (const Result<void> saved = exportPhoneBookFile(fileName, m_adapter.record(), AnsiCodec::system()); !saved)
        errorBox(this, m_applicationTitle, saved.error().message);
}

void MainWindow::onImportContacts()
{
    if (!m_importContactsDialog.Execute(this))
        return;
    const Result<PhoneBookImport> read = importPhoneBookFile(m_importContactsDialog.FileName(), AnsiCodec::system());
    if (!read) {
        errorBox(this, m_applicationTitle, read.error().message);
        return;
    }
    const PhoneBookImport &imported = *read;
    // An empty import would only empty the phone book; that is what "Delete" is for.
    if (imported.parties.empty()) {
        informationBox(this, m_applicationTitle, tr("The file holds no contacts. The phone book stays as it is."));
        return;
    }
    ImportPreviewDialog preview(imported.parties, imported.leftOut, AnsiCodec::system(), this);
    if (preview.exec() != QDialog::Accepted || !backUpBefore(BackupStep::ImportContacts))
        return;
    m_adapter.importContacts(imported.parties);
}
