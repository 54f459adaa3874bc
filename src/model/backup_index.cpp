// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the backup index as JSON.
#include "model/backup_index.h"

#include "model/checked_files.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kStepsKey = QStringLiteral("steps");
const QString kSerialKey = QStringLiteral("serial");

// An index many times the size of 50 entries is not ours; do not read it whole.
constexpr qint64 kMaxIndexSize = 1024 * 1024;

} // namespace

BackupIndex BackupIndex::load(const QString &folder)
{
    BackupIndex index;
    // A link or a pipe in its place is not an index: never read through it, never wait on it.
    QFile file;
    if (openRegularFile(QDir(folder).filePath(QLatin1String(kFileName)), file) || file.size() > kMaxIndexSize)
        return index;
    const QJsonObject content = QJsonDocument::fromJson(file.readAll()).object();
    index.m_serial = content.value(kSerialKey).toString();
    const QJsonObject steps = content.value(kStepsKey).toObject();
    for (auto it = steps.begin(); it != steps.end(); ++it)
        index.m_steps.insert(it.key(), backupStepFromKey(it.value().toString()));
    return index;
}

bool BackupIndex::save(const QString &folder) const
{
    QJsonObject steps;
    for (auto it = m_steps.begin(); it != m_steps.end(); ++it)
        steps.insert(it.key(), backupStepKey(it.value()));
    QJsonObject content{{kStepsKey, steps}};
    if (!m_serial.isEmpty())
        content.insert(kSerialKey, m_serial);
    return !writeWholeFile(QDir(folder).filePath(QLatin1String(kFileName)), QJsonDocument(content).toJson(),
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
