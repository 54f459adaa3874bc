// Loading any file as a configuration file: the record takes its prefix and nothing else changes.
#include "model/config_file.h"

#include <QFile>
#include <QString>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

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
    DeviceRecord record;
    std::memset(&record, 0xA5, sizeof record);
    if (loadConfigFile(path, record))
        std::abort();
    const std::size_t taken = std::min(size, kRecordSize);
    if (std::memcmp(record.bytes().data(), data, taken) != 0)
        std::abort();
    for (std::size_t i = taken; i < kRecordSize; ++i)
        if (record.bytes()[i] != 0xA5)
            std::abort();
    return 0;
}
