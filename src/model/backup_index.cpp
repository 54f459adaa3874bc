// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the backup index as JSON.
#include "model/backup_index.h"

#include "model/checked_files.h"
#include "model/input_file.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

namespace vestra7 {

namespace {

const QString kStepsKey = QStringLiteral("steps");
const QString kSerialKey = QStringLiteral("serial");

} // namespace

BackupIndex BackupIndex::load(const QString &folder)
{
    BackupIndex index;
    const Result<QByteArray> file =
        readWholeFile(QDir(folder).filePath(QLatin1String(kFileName)), InputKind::BackupIndex);
    if (!file)
        return index;
    const QJsonObject content = QJsonDocument::fromJson(*file).object();
    index.m_serial = content.value(kSerialKey).toString();
    const QJsonObject steps = content.value(kStepsKey).toObject();
    for (auto it = steps.begin(); it != steps.end(); ++it)
        index.m_steps.insert(it.key(), backupStepFromKey(it.value().toString()));
    return index;
}

Result<void> BackupIndex::save(const QString &folder) const
{
    QJsonObject steps;
    for (auto it = m_steps.begin(); it != m_steps.end(); ++it)
        steps.insert(it.key(), backupStepKey(it.value()));
    QJsonObject content{{kStepsKey, steps}};
    if (!m_serial.isEmpty())
        content.insert(kSerialKey, m_serial);
    return writeWholeFile(QDir(folder).filePath(QLatin1String(kFileName)), QJsonDocument(content).toJson(),
                          FileKind::Private);
}

BackupStep BackupIndex::step(const QString &backupName) const
{
    return m_steps.value(backupName, BackupStep::Unknown);
}

void BackupIndex::setStep(const QString &backupName, BackupStep step)
{
    m_steps.insert(backupName, step);
}

void BackupIndex::keepOnly(const QStringList &backupNames)
{
    m_steps.removeIf([&](const auto &entry) { return !backupNames.contains(entry.key()); });
}

} // namespace vestra7
