// SPDX-License-Identifier: GPL-3.0-or-later
// The choice of adapter under "Tools", for when more than one adapter is plugged in.
#include "ui/main_window.h"

#include "link/adapter_port.h"

#include "ui_main_window.h"

#include <QActionGroup>
#include <QMenu>

namespace {

// A product name is shown as it is, not read for a mnemonic.
QString withoutMnemonics(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

void MainWindow::addAdapterChoice()
{
    m_toolsMenu->addSeparator();
    m_adapterMenu = m_toolsMenu->addMenu(tr("&Adapter"));
    m_adapterMenu->setObjectName(QStringLiteral("adapterMenu"));
    m_adapterChoices = new QActionGroup(m_adapterMenu);
    m_adapterChoices->setExclusive(true);
    connect(&m_adapter, &AdapterPort::presentAdaptersChanged, this, &MainWindow::showAdapterChoice);
    // The adapter in use is known once it has been claimed.
    connect(&m_adapter, &AdapterPort::identityChanged, this, &MainWindow::showAdapterChoice);
    showAdapterChoice();
}

void MainWindow::showAdapterChoice()
{
    const std::vector<PresentAdapter> present = m_adapter.presentAdapters();
    const QString inUse = m_adapter.identity().serial;
    for (QAction *choice : m_adapterChoices->actions())
        delete choice;
    for (const PresentAdapter &adapter : present) {
        QAction *choice = m_adapterMenu->addAction(withoutMnemonics(tr("%1 %2").arg(adapter.product, adapter.serial)));
        choice->setCheckable(true);
        choice->setActionGroup(m_adapterChoices);
        choice->setChecked(adapter.serial == inUse);
        connect(choice, &QAction::triggered, this, [this, serial = adapter.serial] { m_adapter.chooseAdapter(serial); });
    }
    // With one adapter there is nothing to choose.
    m_adapterMenu->menuAction()->setVisible(present.size() > 1);
}
