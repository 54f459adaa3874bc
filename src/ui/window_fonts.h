// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts of the main window's forms, sized in pixels as the layouts were drawn.
#pragma once

#include <QFont>

namespace vestra7 {

// Bold Tahoma of the given character height. Where Tahoma is missing, the family name stays and the
// system substitutes its nearest font.
QFont tahomaBold(int pixelSize);
// The connection overlay's caption font.
QFont segoeUiBold(int pixelSize);

} // namespace vestra7
