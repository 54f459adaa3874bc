// SPDX-License-Identifier: GPL-3.0-or-later
// Loading any bytes as the backup index: it never fails hard, and what it gives, saved and loaded
// again, is saved the same.
#include "model/backup_index.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

using namespace vestra7;

namespace {

QByteArray indexIn(const QString &folder)
{
    QFile file(QDir(folder).filePath(QLatin1String(BackupIndex::kFileName)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Memory-backed folders keep the many small writes cheap.
    static const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir given(base + QStringLiteral("/vestra7-index-fuzz-XXXXXX"));
    static QTemporaryDir saved(base + QStringLiteral("/vestra7-index-fuzz-XXXXXX"));
    {
        QFile file(QDir(given.path()).filePath(QLatin1String(BackupIndex::kFileName)));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    const BackupIndex index = BackupIndex::load(given.path());
    if (!index.save(saved.path()))
        std::abort();
    const QByteArray first = indexIn(saved.path());
    if (!BackupIndex::load(saved.path()).save(saved.path()) || indexIn(saved.path()) != first)
        std::abort();
    return 0;
}
