// The main window: shows the adapter's record and turns the user's changes into record writes.
#pragma once

#include "link/discovery_view.h"
#include "ui/file_dialog.h"
#include "ui/message_boxes.h"
#include "ui/party_table.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <memory>

class DeviceLink;
class FirmwareUpdateDialog;
class GlyphButton;
class QKeyEvent;
class QLineEdit;
class Ui_Tfmain;

class Tfmain final : public QMainWindow, public DiscoveryView
{
    Q_OBJECT

public:
    explicit Tfmain(DeviceLink &link, QWidget *parent = nullptr);
    ~Tfmain() override;

    void setUpdateWindow(FirmwareUpdateDialog *updateWindow) { fu = updateWindow; }
    // How the window asks before deleting a contact or resetting the record.
    void setConfirmer(Confirmer confirm) { m_confirm = std::move(confirm); }

    // Brings every control in line with the record; run by the worker through the GUI thread.
    void Refresh();
    // Sends the whole record after a change of it.
    void save();

    // DiscoveryView
    void Cont(bool en) override;
    void showIdentity(const QString &name, const QString &serial, const QString &version) override;
    void showTitle(const QString &title) override;
    void showAccessProblem(const QString &reason) override;

    void showSendFailure(const QString &text);

    // A tick of the polling timer `tmr`: a poll, unless the adapter is in its boot loader or the
    // update window is showing.
    void tmrTimer();

    // The row last selected in either list: Enter in a party edit stores the party there.
    std::uint8_t selectedRow() const { return selected_row; }

    // "Save to file" and "Load from file" ask for their file through these.
    FileDialog fsave;
    FileDialog fopen;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A glyph button's Tag: bit 0 marks a call button (clear: hang-up), bit 1 line B (clear: line A),
    // bit 7 that the button shows its faded glyph, so a glyph is loaded only when the state changes.
    static constexpr int kCallFlag = 0x01;
    static constexpr int kLineBit = 0x02;
    static constexpr int kDimmedMark = 0x80;

    // The window and its refresh.
    void FormShow();
    void FormClose();
    void showActiveParty();
    void showLineButtons();
    void showButtonState(GlyphButton *button, bool allowed);
    void connectControls();

    // Line control and phone-book editing.
    void CALL_MouseDown(GlyphButton *Sender);
    void activeSelClick(QObject *Sender);
    void clistSelectItem(const PartyTable &list, int row);
    void edtKeyDown(const QKeyEvent &Key);
    bool edtKeyPress(QObject *Sender, const QKeyEvent &Key);
    void clistKeyDown(const QKeyEvent &Key);
    void callsKeyDown(const QKeyEvent &Key);
    void deleteSelectedRow(PartyTable &list, std::span<PartyEntry> entries);

    // Menu commands.
    void EXPClick();
    void IMPClick();
    void FCLOSEClick();
    void UPDClick();
    void SETTINGSClick();
    void DEFClick();
    void INFClick();
    QString applicationTitle() const;

    std::unique_ptr<Ui_Tfmain> ui;
    DeviceLink &m_link;
    PartyTable m_contacts;
    PartyTable m_calls;
    FirmwareUpdateDialog *fu = nullptr;
    QTimer tmr;
    Confirmer m_confirm = confirmBox;
    std::uint8_t selected_row = 0;
    bool m_shown = false;
    // The program's title: the adapter's product name once one was found. Error boxes carry it.
    QString m_applicationTitle = QStringLiteral("VESTRA7");
    // The control that held the focus when the window was last disabled, given it back on reconnection.
    QPointer<QWidget> m_focusBeforeDisconnect;
};
