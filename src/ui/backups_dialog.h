// SPDX-License-Identifier: GPL-3.0-or-later
// The "Backups" window: the backups of each adapter, what the selected one holds that the adapter
// does not, and restoring it.
#pragma once

#include <QDialog>

#include <memory>

class QTreeWidgetItem;

namespace vestra7 {

class AdapterPort;
class BackupKeeper;

namespace Ui {
class BackupsDialog;
}

class BackupsDialog final : public QDialog
{
    Q_OBJECT

public:
    BackupsDialog(BackupKeeper &keeper, AdapterPort &adapter, QWidget *parent = nullptr);
    ~BackupsDialog() override;

private:
    void showBackups();
    void showDifferences();
    // The file of the selected backup; empty when an adapter's row or no row is selected.
    QString selectedPath() const;
    void restoreSelected();
    void setConnected(bool connected);

    std::unique_ptr<Ui::BackupsDialog> m_ui;
    BackupKeeper &m_keeper;
    AdapterPort &m_adapter;
    bool m_connected;
};

} // namespace vestra7
