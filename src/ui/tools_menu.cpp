// SPDX-License-Identifier: GPL-3.0-or-later
// The "Tools" menu: the backups of the adapter's record, the line status window, the phone book
// exported to and imported from vCard and CSV files, and the menus of text encoding and adapter.
#include "ui/tools_menu.h"

#include "model/ansi_codec.h"
#include "model/backup_step.h"
#include "model/phone_book_exchange.h"
#include "ports/adapter_port.h"
#include "ui/adapter_menu.h"
#include "ui/backups_dialog.h"
#include "ui/code_page_menu.h"
#include "ui/import_preview_dialog.h"
#include "ui/prompter.h"
#include "ui/window_placement.h"

#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

namespace vestra7 {

ToolsMenu::ToolsMenu(QMenuBar &menuBar, AdapterPort &adapter, const Prompter &prompter, QWidget &window)
    : m_adapter(adapter)
    , m_prompter(prompter)
    , m_window(window)
    , m_menu(menuBar.addMenu(tr("&Tools")))
    , m_exportContactsDialog(FileDialog::Mode::Save, exportFilter(), QStringLiteral("contacts.vcf"))
    , m_importContactsDialog(FileDialog::Mode::Open, importFilter(), QStringLiteral("contacts.vcf"))
{
    m_menu->setObjectName(QStringLiteral("toolsMenu"));
    QAction *backups = m_menu->addAction(tr("&Backups…"), this, &ToolsMenu::onShowBackups);
    backups->setObjectName(QStringLiteral("backupsAction"));
    QAction *lineStatus = m_menu->addAction(tr("&Line status…"), this, &ToolsMenu::onShowLineStatus);
    lineStatus->setObjectName(QStringLiteral("lineStatusAction"));
    lineStatus->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    m_menu->addSeparator();
    QAction *importContacts = m_menu->addAction(tr("&Import contacts…"), this, &ToolsMenu::onImportContacts);
    importContacts->setObjectName(QStringLiteral("importContactsAction"));
    QAction *exportContacts = m_menu->addAction(tr("&Export contacts…"), this, &ToolsMenu::onExportContacts);
    exportContacts->setObjectName(QStringLiteral("exportContactsAction"));
    auto *codePages = new CodePageMenu(*m_menu, m_adapter);
    connect(codePages, &CodePageMenu::codePageSwitched, this, &ToolsMenu::codePageSwitched);
    new AdapterMenu(*m_menu, m_adapter);
}

QString ToolsMenu::exportFilter()
{
    return tr("vCard (*.vcf);;CSV (*.csv)");
}

QString ToolsMenu::importFilter()
{
    return tr("Phone book (*.vcf *.vcard *.csv);;All files (*)");
}

void ToolsMenu::retranslate()
{
    m_exportContactsDialog.setNameFilter(exportFilter());
    m_importContactsDialog.setNameFilter(importFilter());
}

void ToolsMenu::onShowBackups()
{
    if (!m_prompter.backupKeeper())
        return;
    BackupsDialog backups(*m_prompter.backupKeeper(), m_adapter, &m_window);
    backups.exec();
}

void ToolsMenu::onShowLineStatus()
{
    if (!m_lineStatusWindow)
        return;
    // Beside the main window, so that both can be seen; the user's place for it holds while it shows.
    if (!m_lineStatusWindow->isVisible())
        placeBeside(*m_lineStatusWindow, m_window);
    m_lineStatusWindow->show();
    m_lineStatusWindow->raise();
    m_lineStatusWindow->activateWindow();
}

void ToolsMenu::onExportContacts()
{
    if (!m_exportContactsDialog.exec(&m_window))
        return;
    QString fileName = m_exportContactsDialog.selectedFile();
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix != QLatin1String("vcf") && suffix != QLatin1String("csv"))
        fileName += QStringLiteral(".vcf");
    m_exportContactsDialog.selectFile(fileName);
    if (const Result<void> saved = exportPhoneBookFile(fileName, m_adapter.record(), AnsiCodec::system()); !saved)
        m_prompter.showError(saved.error().message);
}

void ToolsMenu::onImportContacts()
{
    if (!m_importContactsDialog.exec(&m_window))
        return;
    const Result<PhoneBookImport> read =
        importPhoneBookFile(m_importContactsDialog.selectedFile(), AnsiCodec::system());
    if (!read) {
        m_prompter.showError(read.error().message);
        return;
    }
    const PhoneBookImport &imported = *read;
    // An empty import would only empty the phone book; that is what "Delete" is for.
    if (imported.parties.empty()) {
        m_prompter.showInformation(tr("The file holds no contacts. The phone book stays as it is."));
        return;
    }
    ImportPreviewDialog preview(imported.parties, imported.leftOut, AnsiCodec::system(), &m_window);
    if (preview.exec() != QDialog::Accepted || !m_prompter.backUpBefore(BackupStep::ImportContacts))
        return;
    m_adapter.importContacts(imported.parties);
}

} // namespace vestra7
