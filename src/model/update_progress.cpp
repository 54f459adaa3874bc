// SPDX-License-Identifier: GPL-3.0-or-later
// The progress figures of a firmware transfer.
#include "model/update_progress.h"

#include <algorithm>
#include <cmath>

namespace vestra7 {

namespace {

double doneShare(std::uint64_t position, std::uint64_t size)
{
    if (size == 0)
        return 0;
    return static_cast<double>(std::min(position, size)) / static_cast<double>(size);
}

} // namespace

int progressBarValue(std::uint64_t position, std::uint64_t size)
{
    // std::nearbyint rounds in the current mode, which is to nearest with ties to even.
    return static_cast<int>(std::nearbyint(doneShare(position, size) * 99.9));
}

QString progressCaption(std::uint64_t position, std::uint64_t size, const QLocale &locale)
{
    return locale.toString(doneShare(position, size) * 100, 'f', 1) + QStringLiteral(" %");
}

} // namespace vestra7
