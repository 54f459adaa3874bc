// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing firmware versions number by number.
#include "model/firmware_version.h"

#include <QList>

#include <algorithm>
#include <optional>

namespace vestra7 {

namespace {

std::optional<QList<qulonglong>> versionNumbers(const QString &version)
{
    if (version.isEmpty())
        return std::nullopt;
    QList<qulonglong> numbers;
    for (const QString &part : version.split(QLatin1Char('.'))) {
        bool ok = false;
        // Digits only: toULongLong would also take a sign or blanks.
        const bool digits = !part.isEmpty() && std::all_of(part.begin(), part.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
        const qulonglong number = part.toULongLong(&ok);
        if (!digits || !ok)
            return std::nullopt;
        numbers << number;
    }
    return numbers;
}

} // namespace

VersionOrder compareVersions(const QString &version, const QString &other)
{
    const std::optional<QList<qulonglong>> a = versionNumbers(version);
    const std::optional<QList<qulonglong>> b = versionNumbers(other);
    if (!a || !b)
        return VersionOrder::Unknown;
    for (qsizetype i = 0; i < std::max(a->size(), b->size()); ++i) {
        const qulonglong x = i < a->size() ? a->at(i) : 0;
        const qulonglong y = i < b->size() ? b->at(i) : 0;
        if (x != y)
            return x < y ? VersionOrder::Older : VersionOrder::Newer;
    }
    return VersionOrder::Same;
}

} // namespace vestra7
