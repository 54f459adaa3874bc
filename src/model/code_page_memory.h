// SPDX-License-Identifier: GPL-3.0-or-later
// The code page each adapter's texts were written in, remembered in the program's settings.
#pragma once

#include <QString>

namespace vestra7 {

// The code page remembered for the adapter with this key, or empty when none (or none this
// program maps) is remembered.
QString rememberedCodePage(const QString &adapterKey);
void rememberCodePage(const QString &adapterKey, const QString &codePageName);

} // namespace vestra7
