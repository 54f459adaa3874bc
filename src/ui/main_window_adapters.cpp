// SPDX-License-Identifier: GPL-3.0-or-later
// The adapters plugged in under "Tools", the one in use checked, to choose another from, and the
// word of an adapter held by another program.
#include "ui/main_window.h"

#include "link/adapter_port.h"
#include "ui/disconnected_overlay.h"

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
    // The overlay shows while no adapter is connected, which is the case while one is held elsewhere.
    connect(&m_adapter, &AdapterPort::inUseChanged, m_ui->overlay, &DisconnectedOverlay::setInUse);
}

void MainWindow::showAdapterChoice()
{
    const std::vector<PresentAdapter> present = m_adapter.presentAdapters();
    const QString inUse = m_adapter.identity().key;
    for (QAction *choice : m_adapterChoices->actions())
        delete choice;
    for (const PresentAdapter &adapter : present) {
        // Adapters that share a serial number, or have none, are told apart by their USB port.
        const QString name = adapter.key == adapter.serial
                                 ? tr("%1 %2").arg(adapter.product, adapter.serial)
                                 : tr("%1 %2 (USB port %3)").arg(adapter.product, adapter.serial, adapter.port);
        QAction *choice = m_adapterMenu->addAction(withoutMnemonics(name));
        choice->setCheckable(true);
        choice->setActionGroup(m_adapterChoices);
        choice->setChecked(adapter.key == inUse);
        connect(choice, &QAction::triggered, this, [this, key = adapter.key] { m_adapter.chooseAdapter(key); });
    }
    // Listed also when it is the only one, so that the window shows which adapter is in use.
    m_adapterMenu->menuAction()->setVisible(!present.empty());
}
