// SPDX-License-Identifier: GPL-3.0-or-later
// A tiny tmpfs of the test's own, to fill up and see how a write fails on a full disk.
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace vestra7 {

class TinyDisk final
{
public:
    // Mounts a 12 KiB tmpfs on a fresh temporary folder; needs root (CI runs as root).
    TinyDisk();
    ~TinyDisk();
    TinyDisk(const TinyDisk &) = delete;
    TinyDisk &operator=(const TinyDisk &) = delete;

    bool mounted() const { return m_mounted; }
    // Why the mount was refused.
    const QString &error() const { return m_error; }
    QString path(const QString &name) const;
    // Writes a filler file until no byte more fits.
    void fill() const;

private:
    QTemporaryDir m_folder;
    bool m_mounted = false;
    QString m_error;
};

// In a test body: skips where tmpfs cannot be mounted, but fails in CI, where it always can.
#define REQUIRE_TINY_DISK(disk)                                                                                        \
    do {                                                                                                               \
        if (!(disk).mounted()) {                                                                                       \
            if (qEnvironmentVariableIsSet("CI"))                                                                       \
                FAIL() << "cannot mount a tmpfs: " << (disk).error().toStdString();                                    \
            GTEST_SKIP() << "cannot mount a tmpfs: " << (disk).error().toStdString();                                  \
        }                                                                                                              \
    } while (false)

} // namespace vestra7
