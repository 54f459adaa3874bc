// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: shows the adapter's record and asks the adapter for the user's changes.
#pragma once

#include "ui/file_dialog.h"
#include "ui/message_boxes.h"
#include "ui/party_table.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class AdapterPort;
struct AdapterIdentity;
class BackupKeeper;
class GlyphButton;
class QActionGroup;
class QDialog;
class QKeyEvent;
class QKeySequence;
enum class BackupStep;
class QMenu;

namespace Ui {
class MainWindow;
}

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
    void setLineStatusWindow(QDialog *lineStatusWindow) { m_lineStatusWindow = lineStatusWindow; }
    // How the program asks before a step that changes or replaces what the adapter holds: the window
    // passes it on to the backups, so that one answerer answers every such question.
    void setConfirmer(Confirmer confirm);
    // Backs the adapter's record up before each step that replaces it; without one nothing is backed up.
    void setBackupKeeper(BackupKeeper *keeper);
    // "Save to file" and "Load from file" ask for their file through these.
    FileDialog &saveFileDialog() { return m_saveFileDialog; }
    FileDialog &openFileDialog() { return m_openFileDialog; }
    // "Export contacts…" and "Import contacts…" ask for their file through these.
    FileDialog &exportContactsDialog() { return m_exportContactsDialog; }
    FileDialog &importContactsDialog() { return m_importContactsDialog; }

    // The row last selected in either list.
    int selectedRow() const { return m_selectedRow; }

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
    static constexpr int kLineA = 0;
    static constexpr int kLineB = 1;

    // A call or hang-up button and the line it acts on.
    struct LineButton
    {
        GlyphButton *button;
        int line;
        bool calls; // a call button; otherwise the line's hang-up button
        // The button shows its faded glyph: a glyph is loaded only when this changes.
        bool showsFaded = false;
    };

    // The window, its display and what the adapter announces (main_window.cpp).
    static QString configFileFilter();
    static QString contactsExportFilter();
    static QString contactsImportFilter();
    void connectAdapter();
    void connectControls();
    void showActiveParty(bool evenWhileTyping = false);
    // The settings panel lies over the line panel while it shows: the line panel's controls are then
    // out of reach of Tab and of screen readers.
    void coverLinePanel(bool covered);
    void showIdentity(const AdapterIdentity &identity);
    void showAccessProblem(const QString &reason);
    void showSendFailure(const QString &text);

    // Keys that act as the line buttons and the line labels do, the former shown in the buttons'
    // tooltips (main_window_keys.cpp).
    static QKeySequence activeLineKey(int line);
    void connectKeys();
    void showKeysInToolTips();
    void onShowKeyboardShortcuts();

    // Line control (main_window_lines.cpp).
    void showLineButtons();
    // Each line's state, and which line is active, as the line labels' accessible descriptions.
    void showLineStates();
    QWidget *lineLabel(int line) const;
    void showButtonState(LineButton &lineButton, bool allowed);
    void onLineButtonPressed(const LineButton &lineButton);
    void onLineLabelClicked(int line);

    // The phone book and the call list (main_window_books.cpp).
    void onListRowSelected(const PartyTable &list, int row);
    // Whether the edit takes the key; Enter also stores the edits into the phone book.
    bool onPartyEditKey(const QObject *edit, const QKeyEvent &key);
    // Stores the edits over the contact being edited, else into the first free entry; with neither,
    // says that the book is full. Replacing a contact is backed up first.
    void storeParty();
    // The phone-book row the user selected and still has selected, whose contact the edits show; or -1.
    int contactBeingEdited() const;
    void onPhoneBookKey(const QKeyEvent &key);
    void onCallListKey(const QKeyEvent &key);
    void deleteSelectedRow(PartyTable &list, void (AdapterPort::*deleteEntry)(int));
    // The first phone-book entry with neither name nor number, or -1 when the book is full; the
    // adapter's record already holds the deletions asked for.
    int firstFreeContact() const;

    // Asks with "OK" and "Cancel"; `cancelFirst` makes "Cancel" the default.
    bool confirm(const QString &question, bool cancelFirst = false);
    // True when `step` may go on: the record is backed up, or the user goes on without a backup.
    bool backUpBefore(BackupStep step);
    // Whether a line of the adapter is in a call, as the hang-up buttons tell it.
    bool lineInCall() const;

    // Menu commands (main_window_menu.cpp).
    void onSaveToFile();
    void onLoadFromFile();
    void onUpdateFirmware();
    void onToggleSettings();
    void onSetToDefault();
    void onAbout();
    void onAboutProgram();

    // The "Tools" menu at the end of the menu bar: backups and phone-book files (main_window_tools.cpp).
    void addToolsMenu();
    void onShowBackups();
    void onShowLineStatus();
    void onExportContacts();
    void onImportContacts();
    // The choice of adapter under "Tools" (main_window_adapters.cpp).
    void addAdapterChoice();
    void showAdapterChoice();
    // The code page of the adapter's texts under "Tools" (main_window_code_page.cpp).
    void addCodePageChoice();
    void useAdapterCodePage(const AdapterIdentity &identity);
    void chooseCodePage(const QString &name);
    void switchCodePage(const QString &name);

    std::unique_ptr<Ui::MainWindow> m_ui;
    AdapterPort &m_adapter;
    std::array<LineButton, 4> m_lineButtons;
    PartyTable m_contacts;
    PartyTable m_calls;
    FileDialog m_saveFileDialog;
    FileDialog m_openFileDialog;
    FileDialog m_exportContactsDialog;
    FileDialog m_importContactsDialog;
    QDialog *m_updateWindow = nullptr;
    QDialog *m_lineStatusWindow = nullptr;
    BackupKeeper *m_backupKeeper = nullptr;
    // Empty: the modal boxes ask.
    Confirmer m_confirm;
    bool m_connected = false;
    QMenu *m_toolsMenu = nullptr;
    QMenu *m_adapterMenu = nullptr;
    QActionGroup *m_adapterChoices = nullptr;
    QMenu *m_codePageMenu = nullptr;
    QString m_defaultCodePage;
    int m_selectedRow = 0;
    // The list m_selectedRow came from.
    const PartyTable *m_selectedList = nullptr;
    bool m_shown = false;
    // The program's title: the adapter's product name once one was found. Error boxes carry it.
    QString m_applicationTitle = QStringLiteral("VESTRA7");
    // The control that held the focus when the window was last disabled, given it back on reconnection.
    QPointer<QWidget> m_focusBeforeDisconnect;
    // The control that held the focus when the settings panel opened, given it back when it closes.
    QPointer<QWidget> m_focusBeforeSettings;
};
