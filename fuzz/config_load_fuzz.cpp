// SPDX-License-Identifier: GPL-3.0-or-later
// Reading any file as a configuration file: it gives its first bytes, at most one record's worth.
#include "model/config_file.h"

#include <QFile>
#include <QString>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

using namespace vestra7;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A memory-backed folder keeps the many small writes cheap.
    static const QString path =
        QStringLiteral("%1/vestra7-config-fuzz-%2.cfg")
            .arg(QFile::exists(QStringLiteral("/dev/shm")) ? QStringLiteral("/dev/shm") : QStringLiteral("/tmp"))
            .arg(getpid());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    const Result<ConfigFileContent> content = readConfigFile(path);
    if (!content)
        std::abort();
    const std::size_t taken = std::min(size, kRecordSize);
    if (static_cast<std::size_t>(content->bytes.size()) != taken ||
        (taken > 0 && std::memcmp(content->bytes.constData(), data, taken) != 0))
        std::abort();
    return 0;
}
