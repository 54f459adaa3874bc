// SPDX-License-Identifier: GPL-3.0-or-later
// The choice of the code page that the connected adapter's texts are read and written in,
// remembered per adapter.
#include "ui/code_page_menu.h"

#include "model/ansi_codec.h"
#include "model/code_page_memory.h"
#include "ports/adapter_port.h"
#include "ui/logging.h"

#include <QActionGroup>
#include <QMenu>

namespace vestra7 {

CodePageMenu::CodePageMenu(QMenu &parentMenu, AdapterPort &adapter)
    : QObject(&parentMenu)
    , m_adapter(adapter)
    , m_menu(parentMenu.addMenu(tr("&Text encoding")))
    , m_defaultCodePage(AnsiCodec::systemCodePage())
{
    m_menu->setObjectName(QStringLiteral("codePageMenu"));
    auto *choices = new QActionGroup(m_menu);
    choices->setExclusive(true);
    for (const QString &name : ansiCodePageNames()) {
        QAction *choice = m_menu->addAction(name);
        choice->setObjectName(name);
        choice->setCheckable(true);
        choice->setActionGroup(choices);
        choice->setChecked(name == m_defaultCodePage);
        connect(choice, &QAction::triggered, this, [this, name] { chooseCodePage(name); });
    }
    connect(&m_adapter, &AdapterPort::identityChanged, this, &CodePageMenu::useAdapterCodePage);
}

void CodePageMenu::useAdapterCodePage(const AdapterIdentity &identity)
{
    const QString remembered = rememberedCodePage(identity.key);
    switchCodePage(remembered.isEmpty() ? m_defaultCodePage : remembered);
}

void CodePageMenu::chooseCodePage(const QString &name)
{
    qCDebug(lcUi) << "code page" << name << "for" << m_adapter.identity().key;
    rememberCodePage(m_adapter.identity().key, name);
    switchCodePage(name);
}

void CodePageMenu::switchCodePage(const QString &name)
{
    for (QAction *choice : m_menu->actions())
        choice->setChecked(choice->objectName() == name);
    if (name == AnsiCodec::systemCodePage())
        return;
    // Switched on the GUI thread, between two records, so every text of one record is read in one
    // code page.
    AnsiCodec::useCodePage(name.toLatin1().constData());
    emit codePageSwitched();
}

} // namespace vestra7
