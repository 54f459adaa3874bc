// SPDX-License-Identifier: GPL-3.0-or-later
// "Save to file" and "Load from file".
#include "ui/config_file_commands.h"

#include "model/backup_step.h"
#include "model/config_file.h"
#include "model/device_record.h"
#include "ports/adapter_port.h"
#include "ui/logging.h"
#include "ui/prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace vestra7 {

namespace {

const QString kConfigFileName = QStringLiteral("config.cfg");

} // namespace

ConfigFileCommands::ConfigFileCommands(AdapterPort &adapter, const Prompter &prompter, QWidget &window)
    : m_adapter(adapter)
    , m_prompter(prompter)
    , m_window(window)
    , m_saveFileDialog(FileDialog::Mode::Save, filter(), kConfigFileName)
    , m_openFileDialog(FileDialog::Mode::Open, filter(), kConfigFileName)
{
}

QString ConfigFileCommands::filter()
{
    return tr("Config File (*.cfg)");
}

void ConfigFileCommands::retranslate()
{
    m_saveFileDialog.setNameFilter(filter());
    m_openFileDialog.setNameFilter(filter());
}

void ConfigFileCommands::saveToFile()
{
    if (!m_saveFileDialog.exec(&m_window))
        return;
    const QString fileName = withConfigExtension(m_saveFileDialog.selectedFile());
    m_saveFileDialog.selectFile(fileName);
    qCDebug(lcUi) << "save to file" << fileName;
    if (const Result<void> saved = saveConfigFile(fileName, m_adapter.record()); !saved)
        m_prompter.showError(saved.error().message);
}

void ConfigFileCommands::loadFromFile()
{
    if (!m_openFileDialog.exec(&m_window))
        return;
    qCDebug(lcUi) << "load from file" << m_openFileDialog.selectedFile();
    const Result<ConfigFileContent> content = readConfigFile(m_openFileDialog.selectedFile());
    if (!content) {
        m_prompter.showError(content.error().message);
        return;
    }
    // A file of another size is most likely no configuration at all; it still loads, as far as it goes,
    // once the user says so. Only the first record's worth is read, so the size comes from the file.
    const qint64 size = QFileInfo(m_openFileDialog.selectedFile()).size();
    if (size != static_cast<qint64>(kRecordSize) &&
        !m_prompter.confirm(tr("\"%1\" is not the size of a configuration file: its size is %2 bytes, a "
                               "configuration file's is %3 bytes. Loading it overwrites the adapter's record from "
                               "its start with whatever the file holds.\n\nLoad it anyway?")
                                .arg(QDir::toNativeSeparators(m_openFileDialog.selectedFile()))
                                .arg(size)
                                .arg(kRecordSize),
                            true))
        return;
    if (!m_prompter.backUpBefore(BackupStep::LoadFromFile))
        return;
    // With the focus on the window itself and on none of its controls, the next refresh shows the
    // loaded party in the edits, even if one of them had the focus.
    m_window.setFocus(Qt::OtherFocusReason);
    m_adapter.loadConfiguration(content->bytes);
}

} // namespace vestra7
