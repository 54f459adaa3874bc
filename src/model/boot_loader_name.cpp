// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the boot-loader mark out of a product name.
#include "model/boot_loader_name.h"

namespace vestra7 {

bool isBootLoaderName(const QString &product)
{
    return product.indexOf(QLatin1StringView(kBootLoaderMark)) >= 1;
}

QString deviceModelName(const QString &product)
{
    const QLatin1StringView mark(kBootLoaderMark);
    QString name = product;
    const qsizetype at = name.indexOf(mark);
    if (at >= 0)
        name.remove(at, mark.size());
    return name;
}

} // namespace vestra7
