// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the backup index as JSON.
#include "model/backup_index.h"

#include "model/checked_files.h"
#include "model/input_file.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace vestra7 {

namespace {

const QString kStepsKey = QStringLiteral("steps");
const QString kSerialKey = QStringLiteral("serial");
const QString kPortKey = QStringLiteral("port");

// One step is a name, as earlier versions wrote it; several are a list of names.
std::vector<BackupStep> stepsFrom(const QJsonValue &value)
{
    std::vector<BackupStep> steps;
    if (!value.isArray())
        return {backupStepFromKey(value.toString())};
    for (const QJsonValue &step : value.toArray())
        if (std::find(steps.begin(), steps.end(), backupStepFromKey(step.toString())) == steps.end())
            steps.push_back(backupStepFromKey(step.toString()));
    return steps;
}

QJsonValue stepsValue(const std::vector<BackupStep> &steps)
{
    if (steps.size() == 1)
        return backupStepKey(steps.front());
    QJsonArray keys;
    for (const BackupStep step : steps)
        keys.append(backupStepKey(step));
    return keys;
}

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
    index.m_port = content.value(kPortKey).toString();
    const QJsonObject steps = content.value(kStepsKey).toObject();
    for (auto it = steps.begin(); it != steps.end(); ++it)
        if (std::vector<BackupStep> noted = stepsFrom(it.value()); !noted.empty())
            index.m_steps.insert(it.key(), std::move(noted));
    return index;
}

Result<void> BackupIndex::save(const QString &folder) const
{
    QJsonObject steps;
    for (auto it = m_steps.begin(); it != m_steps.end(); ++it)
        steps.insert(it.key(), stepsValue(it.value()));
    QJsonObject content{{kStepsKey, steps}};
    if (!m_serial.isEmpty())
        content.insert(kSerialKey, m_serial);
    if (!m_port.isEmpty())
        content.insert(kPortKey, m_port);
    return writeWholeFile(QDir(folder).filePath(QLatin1String(kFileName)), QJsonDocument(content).toJson(),
                          FileKind::Private);
}

std::vector<BackupStep> BackupIndex::steps(const QString &backupName) const
{
    return m_steps.value(backupName, {BackupStep::Unknown});
}

void BackupIndex::addStep(const QString &backupName, BackupStep step)
{
    std::vector<BackupStep> &steps = m_steps[backupName];
    if (std::find(steps.begin(), steps.end(), step) == steps.end())
        steps.push_back(step);
}

void BackupIndex::keepOnly(const QStringList &backupNames)
{
    m_steps.removeIf([&](const auto &entry) { return !backupNames.contains(entry.key()); });
}

} // namespace vestra7
