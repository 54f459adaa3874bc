// The choice of adapter under "Tools", for when more than one adapter is plugged in.
#include "ui/main_window.h"

#include "link/adapter_port.h"

#include "ui_main_window.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace {

const QString kToolsMenuName = QStringLiteral("toolsMenu");

// A product name is shown as it is, not read for a mnemonic.
QString withoutMnemonics(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

QMenu *MainWindow::toolsMenu()
{
    // Other tools share the menu: whichever comes first puts it at the end of the menu bar.
    if (auto *menu = m_ui->mainMenu->findChild<QMenu *>(kToolsMenuName, Qt::FindDirectChildrenOnly))
        return menu;
    QMenu *menu = m_ui->mainMenu->addMenu(tr("&Tools"));
    menu->setObjectName(kToolsMenuName);
    return menu;
}

void MainWindow::addAdapterChoice()
{
    m_adapterMenu = toolsMenu()->addMenu(tr("&Adapter"));
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
    showToolsMenu();
}

void MainWindow::showToolsMenu()
{
    // A menu with nothing to show is taken off the menu bar, not hidden on it: the bar, its keyboard
    // navigation and what screen readers find on it stay exactly as without the menu.
    QMenuBar *bar = m_ui->mainMenu;
    QAction *tools = toolsMenu()->menuAction();
    const QList<QAction *> entries = toolsMenu()->actions();
    const bool shown = std::any_of(entries.begin(), entries.end(), [](const QAction *entry) { return entry->isVisible(); });
    if (!shown) {
        bar->removeAction(tools);
    } else if (!bar->actions().contains(tools)) {
        bar->addAction(tools);
        // Usable, as the adapter's other entries, only while an adapter is connected.
        tools->setEnabled(m_ui->fileMenu->menuAction()->isEnabled());
    }
}
