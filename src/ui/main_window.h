// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: shows the adapter's record and asks the adapter for the user's changes.
#pragma once

#include "ui/file_dialog.h"
#include "ui/message_boxes.h"
#include "ui/prompter.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QDialog;

namespace vestra7 {

class AdapterPort;
struct AdapterIdentity;
class BackupKeeper;
class ConfigFileCommands;
class LineControls;
class PartyBooks;
class ToolsMenu;

namespace Ui {
class MainWindow;
}

// The window lays its parts out and keeps them in step: the line controls, the party books, the
// settings panel, the overlay while no adapter is connected, and the menu bar's commands.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    // The window listens to the adapter from here on; it starts the adapter when it is first shown
    // and stops it when it closes.
    explicit MainWindow(AdapterPort &adapter, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The window "Update firmware" opens, modally and centred over this one. It stays the caller's.
    void setUpdateWindow(QDialog *updateWindow) { m_updateWindow = updateWindow; }
    // The window "Tools" > "Line status" shows and raises; it stays open beside this one.
    void setLineStatusWindow(QDialog *lineStatusWindow);
    // How the program asks before a step that changes or replaces what the adapter holds: the window
    // passes it on to the backups, so that one answerer answers every such question.
    void setConfirmer(Confirmer confirm) { m_prompter.setConfirmer(std::move(confirm)); }
    // Backs the adapter's record up before each step that replaces it; without one nothing is backed up.
    void setBackupKeeper(BackupKeeper *keeper) { m_prompter.setBackupKeeper(keeper); }
    // "Save to file" and "Load from file" ask for their file through these.
    FileDialog &saveFileDialog();
    FileDialog &openFileDialog();
    // "Export contacts…" and "Import contacts…" ask for their file through these.
    FileDialog &exportContactsDialog();
    FileDialog &importContactsDialog();

    // The row last selected in either list.
    int selectedRow() const;

public slots:
    // Brings every control in line with the adapter's record.
    void showRecord();
    // Connected: everything usable. Disconnected: covered by the overlay, with only "Update firmware"
    // left usable, so that an adapter in its boot loader can still be updated.
    void setConnected(bool connected);

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUpLook();
    void connectAdapter();
    void connectMenu();
    // The settings panel lies over the line panel while it shows: the line panel's controls are then
    // out of reach of Tab and of screen readers.
    void coverLinePanel(bool covered);
    void showIdentity(const AdapterIdentity &identity);
    void showAccessProblem(const QString &reason);
    void showSendFailure(const QString &text);
    void showAdapterNotBack(const QString &key);
    // Every text shown was read in the old code page, also the one the user is typing.
    void onCodePageSwitched();

    void onUpdateFirmware();
    void onToggleSettings();
    void onSetToDefault();
    void onShowKeyboardShortcuts();

    std::unique_ptr<Ui::MainWindow> m_ui;
    AdapterPort &m_adapter;
    Prompter m_prompter;
    // Declared after the prompter, which they ask through, so that they go first.
    std::unique_ptr<LineControls> m_lines;
    std::unique_ptr<PartyBooks> m_books;
    std::unique_ptr<ConfigFileCommands> m_configFiles;
    std::unique_ptr<ToolsMenu> m_tools;
    QDialog *m_updateWindow = nullptr;
    bool m_connected = false;
    bool m_shown = false;
    // The control that held the focus when the window was last disabled, given it back on reconnection.
    QPointer<QWidget> m_focusBeforeDisconnect;
    // The control that held the focus when the settings panel opened, given it back when it closes.
    QPointer<QWidget> m_focusBeforeSettings;
};

} // namespace vestra7
