// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the backup index as JSON.
#include "model/backup_index.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

const QString kStepsKey = QStringLiteral("steps");

// An index many times the size of 50 entries is not ours; do not read it whole.
constexpr qint64 kMaxIndexSize = 1024 * 1024;

} // namespace

BackupIndex BackupIndex::load(const QString &folder)
{
    BackupIndex index;
    QFile file(QDir(folder).filePath(QLatin1String(kFileName)));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxIndexSize)
        return index;
    const QJsonObject steps = QJsonDocument::fromJson(file.readAll()).object().value(kStepsKey).toObject();
    for (auto it = steps.begin(); it != steps.end(); ++it)
        index.m_steps.insert(it.key(), backupStepFromKey(it.value().toString()));
    return index;
}

bool BackupIndex::save(const QString &folder) const
{
    QJsonObject steps;
    for (auto it = m_steps.begin(); it != m_steps.end(); ++it)
        steps.insert(it.key(), backupStepKey(it.value()));
    const QByteArray content = QJsonDocument(QJsonObject{{kStepsKey, steps}}).toJson();
    QSaveFile file(QDir(folder).filePath(QLatin1String(kFileName)));
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
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
