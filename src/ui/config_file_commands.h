// SPDX-License-Identifier: GPL-3.0-or-later
// "Save to file" and "Load from file": the adapter's record in a configuration file.
#pragma once

#include "ui/file_dialog.h"

#include <QObject>

class QWidget;

namespace vestra7 {

class AdapterPort;
class Prompter;

// Each asks for its file over `window` and remembers the name chosen. Loading asks before a file of
// another size than a record's, and backs the record up before replacing it.
class ConfigFileCommands final : public QObject
{
    Q_OBJECT

public:
    ConfigFileCommands(AdapterPort &adapter, const Prompter &prompter, QWidget &window);

    FileDialog &saveFileDialog() { return m_saveFileDialog; }
    FileDialog &openFileDialog() { return m_openFileDialog; }

    void saveToFile();
    void loadFromFile();
    // The file filters in the current language.
    void retranslate();

private:
    static QString filter();

    AdapterPort &m_adapter;
    const Prompter &m_prompter;
    QWidget &m_window;
    FileDialog m_saveFileDialog;
    FileDialog m_openFileDialog;
};

} // namespace vestra7
