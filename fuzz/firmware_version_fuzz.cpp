// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing any three version texts: the order is antisymmetric, "Same" is an equivalence, and
// newer-than is transitive, so that no pair of files can each count as the other's upgrade.
#include "model/firmware_version.h"

#include <QString>
#include <QStringList>

#include <cstdlib>

using namespace vestra7;

namespace {

VersionOrder reversed(VersionOrder order)
{
    switch (order) {
    case VersionOrder::Older:
        return VersionOrder::Newer;
    case VersionOrder::Newer:
        return VersionOrder::Older;
    case VersionOrder::Same:
    case VersionOrder::Unknown:
        break;
    }
    return order;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Three texts separated by line ends; digits and dots are the likely bytes, anything may come.
    QStringList texts =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)).split(u'\n');
    texts.resize(3);
    for (const QString &a : texts) {
        const VersionOrder self = compareVersions(a, a);
        if (self != VersionOrder::Same && self != VersionOrder::Unknown)
            std::abort();
        for (const QString &b : texts) {
            const VersionOrder ab = compareVersions(a, b);
            const bool eitherUnknown = self == VersionOrder::Unknown || compareVersions(b, b) == VersionOrder::Unknown;
            if (compareVersions(b, a) != reversed(ab) || (ab == VersionOrder::Unknown) != eitherUnknown)
                std::abort();
            for (const QString &c : texts) {
                const VersionOrder bc = compareVersions(b, c);
                if (ab == bc && ab != VersionOrder::Unknown && compareVersions(a, c) != ab)
                    std::abort();
            }
        }
    }
    return 0;
}
