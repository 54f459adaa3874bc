// SPDX-License-Identifier: GPL-3.0-or-later
// The menu of the adapters plugged in, the one in use checked, to choose another from.
#include "ui/adapter_menu.h"

#include "ports/adapter_port.h"

#include <QActionGroup>
#include <QMenu>

namespace vestra7 {

namespace {

// A product name is shown as it is, not read for a mnemonic.
QString withoutMnemonics(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

AdapterMenu::AdapterMenu(QMenu &parentMenu, AdapterPort &adapter)
    : QObject(&parentMenu)
    , m_adapter(adapter)
{
    parentMenu.addSeparator();
    m_menu = parentMenu.addMenu(tr("&Adapter"));
    m_menu->setObjectName(QStringLiteral("adapterMenu"));
    m_choices = new QActionGroup(m_menu);
    m_choices->setExclusive(true);
    connect(&m_adapter, &AdapterPort::presentAdaptersChanged, this, &AdapterMenu::showChoices);
    // The adapter in use is known once it has been claimed.
    connect(&m_adapter, &AdapterPort::identityChanged, this, &AdapterMenu::showChoices);
    showChoices();
}

void AdapterMenu::showChoices()
{
    const std::vector<PresentAdapter> present = m_adapter.presentAdapters();
    const QString inUse = m_adapter.identity().key;
    for (QAction *choice : m_choices->actions())
        delete choice;
    for (const PresentAdapter &adapter : present) {
        // Adapters that share a serial number, or have none, are told apart by their USB port.
        const QString name = adapter.key == adapter.serial
                                 ? tr("%1 %2").arg(adapter.product, adapter.serial)
                                 : tr("%1 %2 (USB port %3)").arg(adapter.product, adapter.serial, adapter.port);
        QAction *choice = m_menu->addAction(withoutMnemonics(name));
        choice->setCheckable(true);
        choice->setActionGroup(m_choices);
        choice->setChecked(adapter.key == inUse);
        connect(choice, &QAction::triggered, this, [this, key = adapter.key] { m_adapter.chooseAdapter(key); });
    }
    m_menu->menuAction()->setVisible(!present.empty());
}

} // namespace vestra7
