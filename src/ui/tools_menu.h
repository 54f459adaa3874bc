// SPDX-License-Identifier: GPL-3.0-or-later
// The "Tools" menu: backups, line status, the phone book's files, the text encoding, the adapter.
#pragma once

#include "ui/file_dialog.h"

#include <QObject>

class QDialog;
class QMenu;
class QMenuBar;
class QWidget;

namespace vestra7 {

class AdapterPort;
class Prompter;

// Opens the backups window over `window`, shows the line status window beside it, exports the phone
// book to a vCard or CSV file and imports one after a preview, and holds the menus of the text
// encoding and of the adapter in use.
class ToolsMenu final : public QObject
{
    Q_OBJECT

public:
    // Adds the menu at the end of `menuBar`, so that the entries before it keep their places.
    ToolsMenu(QMenuBar &menuBar, AdapterPort &adapter, const Prompter &prompter, QWidget &window);

    // "Export contacts…" and "Import contacts…" ask for their file through these.
    FileDialog &exportContactsDialog() { return m_exportContactsDialog; }
    FileDialog &importContactsDialog() { return m_importContactsDialog; }
    // The window "Line status" shows and raises; it stays the caller's.
    void setLineStatusWindow(QDialog *lineStatusWindow) { m_lineStatusWindow = lineStatusWindow; }
    QDialog *lineStatusWindow() const { return m_lineStatusWindow; }

    // The file filters in the current language.
    void retranslate();

signals:
    // The adapter's texts are read in another code page now.
    void codePageSwitched();

private:
    static QString exportFilter();
    static QString importFilter();
    void onShowBackups();
    void onShowLineStatus();
    void onExportContacts();
    void onImportContacts();

    AdapterPort &m_adapter;
    const Prompter &m_prompter;
    QWidget &m_window;
    QMenu *m_menu;
    FileDialog m_exportContactsDialog;
    FileDialog m_importContactsDialog;
    QDialog *m_lineStatusWindow = nullptr;
};

} // namespace vestra7
