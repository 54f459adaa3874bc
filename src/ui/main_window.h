// The main window: shows the adapter's record and turns the user's changes into record writes.
#pragma once

#include "link/discovery_view.h"
#include "ui/file_dialog.h"
#include "ui/message_boxes.h"
#include "ui/party_table.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <memory>

class DeviceLink;
class GlyphButton;
class QKeyEvent;
class Tfu;

namespace Ui {
class MainWindow;
}

class MainWindow final : public QMainWindow, public DiscoveryView
{
    Q_OBJECT

public:
    explicit MainWindow(DeviceLink &link, QWidget *parent = nullptr);
    ~MainWindow() override;

    void setUpdateWindow(Tfu *updateWindow) { m_updateWindow = updateWindow; }
    // How the window asks before deleting a contact or resetting the record.
    void setConfirmer(Confirmer confirm) { m_confirm = std::move(confirm); }
    // "Save to file" and "Load from file" ask for their file through these.
    FileDialog &saveFileDialog() { return m_saveFileDialog; }
    FileDialog &openFileDialog() { return m_openFileDialog; }

    // Brings every control in line with the record; run by the worker through the GUI thread.
    void showRecord();
    // Sends the whole record after a change of it.
    void save();

    // DiscoveryView
    void Cont(bool en) override;
    void showIdentity(const QString &name, const QString &serial, const QString &version) override;
    void showTitle(const QString &title) override;
    void enableBootLoaderActions(bool enabled) override;
    void showAccessProblem(const QString &reason) override;

    void showSendFailure(const QString &text);

    // A tick of the polling timer: a poll, unless the adapter is in its boot loader or the update
    // window is showing.
    void pollAdapter();

    // The row last selected in either list: Enter in a party edit stores the party there.
    int selectedRow() const { return m_selectedRow; }

protected:
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

    // The window, its display and its connected state (main_window.cpp).
    void connectControls();
    void showActiveParty();
    void setConnected(bool connected);

    // Line control (main_window_lines.cpp).
    void showLineButtons();
    void showButtonState(LineButton &button, bool allowed);
    void onLineButtonPressed(const LineButton &button);
    void onLineLabelClicked(int line);

    // The phone book and the call list (main_window_books.cpp).
    void onListRowSelected(const PartyTable &list, int row);
    // Whether the edit takes the key; Enter also stores the edits into the phone book.
    bool onPartyEditKey(const QObject *edit, const QKeyEvent &key);
    void onPhoneBookKey(const QKeyEvent &key);
    void onCallListKey(const QKeyEvent &key);
    void deleteSelectedRow(PartyTable &list, std::span<PartyEntry> entries);
    // The first phone-book entry with neither name nor number, or -1 when the book is full.
    int firstFreeContact() const;

    // Menu commands (main_window_menu.cpp).
    void onSaveToFile();
    void onLoadFromFile();
    void onUpdateFirmware();
    void onToggleSettings();
    void onSetToDefault();
    void onAbout();

    std::unique_ptr<Ui::MainWindow> m_ui;
    DeviceLink &m_link;
    std::array<LineButton, 4> m_lineButtons;
    PartyTable m_contacts;
    PartyTable m_calls;
    FileDialog m_saveFileDialog;
    FileDialog m_openFileDialog;
    Tfu *m_updateWindow = nullptr;
    QTimer m_pollTimer;
    Confirmer m_confirm = confirmBox;
    int m_selectedRow = 0;
    // The list m_selectedRow came from, and whether that row has been deleted since.
    const PartyTable *m_selectedList = nullptr;
    bool m_selectedRowDeleted = false;
    bool m_shown = false;
    // The program's title: the adapter's product name once one was found. Error boxes carry it.
    QString m_applicationTitle = QStringLiteral("VESTRA7");
    // The control that held the focus when the window was last disabled, given it back on reconnection.
    QPointer<QWidget> m_focusBeforeDisconnect;
};
