// SPDX-License-Identifier: GPL-3.0-or-later
// How far a firmware transfer has come, as the update window's bar and its caption show it.
#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

namespace vestra7 {

// The bar's position for a transfer at `position` of `size` bytes: the share times 99.9, rounded to
// the nearest integer with halves to the even one. A position past the end (after a padded last
// chunk) counts as the end; an empty image as nothing done.
int progressBarValue(std::uint64_t position, std::uint64_t size);
// The bar's caption: the share in percent with one decimal, a space and "%", e.g. "50.0 %", with the
// locale's decimal separator.
QString progressCaption(std::uint64_t position, std::uint64_t size, const QLocale &locale = QLocale());

} // namespace vestra7
