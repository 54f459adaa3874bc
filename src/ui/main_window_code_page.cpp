// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's choice of the code page that the connected adapter's texts are read and written
// in, remembered per adapter.
#include "ui/main_window.h"

#include "link/adapter_port.h"
#include "model/ansi_codec.h"
#include "model/code_page_memory.h"
#include "ui/logging.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QMenu>

void MainWindow::addCodePageChoice()
{
    m_codePageMenu = m_toolsMenu->addMenu(tr("&Text encoding"));
    m_codePageMenu->setObjectName(QStringLiteral("codePageMenu"));
    auto *choices = new QActionGroup(m_codePageMenu);
    choices->setExclusive(true);
    for (const QString &name : ansiCodePageNames()) {
        QAction *choice = m_codePageMenu->addAction(name);
        choice->setObjectName(name);
        choice->setCheckable(true);
        choice->setActionGroup(choices);
        connect(choice, &QAction::triggered, this, [this, name] { chooseCodePage(name); });
    }
    // What the program reads texts in before any adapter's own choice: the desktop language's code page.
    m_defaultCodePage = AnsiCodec::systemCodePage();
    connect(&m_adapter, &AdapterPort::identityChanged, this, &MainWindow::useAdapterCodePage);
    for (QAction *choice : m_codePageMenu->actions())
        choice->setChecked(choice->objectName() == m_defaultCodePage);
}

void MainWindow::useAdapterCodePage(const AdapterIdentity &identity)
{
    // An adapter never given one reads as the desktop's language would have it.
    const QString remembered = rememberedCodePage(identity.key);
    switchCodePage(remembered.isEmpty() ? m_defaultCodePage : remembered);
}

void MainWindow::chooseCodePage(const QString &name)
{
    qCDebug(lcUi) << "code page" << name << "for" << m_adapter.identity().key;
    rememberCodePage(m_adapter.identity().key, name);
    switchCodePage(name);
}

void MainWindow::switchCodePage(const QString &name)
{
    // The program's one codec follows the adapter in use. It is switched here, on the GUI thread,
    // between two records, so every text of one record is read in one code page.
    for (QAction *choice : m_codePageMenu->actions())
        choice->setChecked(choice->objectName() == name);
    if (name == AnsiCodec::systemCodePage())
        return;
    AnsiCodec::useCodePage(name.toLatin1().constData());
    // Read every shown text again, also the one the user is typing in: it was read in the old one.
    m_contacts.forgetShownEntries();
    m_calls.forgetShownEntries();
    showActiveParty(true);
    showRecord();
    // The line status window reads its texts again as it does when the language changes.
    if (m_lineStatusWindow) {
        QEvent reread(QEvent::LanguageChange);
        QCoreApplication::sendEvent(m_lineStatusWindow, &reread);
    }
}
