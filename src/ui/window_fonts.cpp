// SPDX-License-Identifier: GPL-3.0-or-later
// The forms' fonts.
#include "ui/window_fonts.h"

namespace vestra7 {

namespace {

QFont boldFont(const QString &family, int pixelSize)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

} // namespace

QFont tahomaBold(int pixelSize)
{
    return boldFont(QStringLiteral("Tahoma"), pixelSize);
}

QFont segoeUiBold(int pixelSize)
{
    return boldFont(QStringLiteral("Segoe UI"), pixelSize);
}

} // namespace vestra7
