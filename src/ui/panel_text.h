// SPDX-License-Identifier: GPL-3.0-or-later
// Text colours for the labels on the panels' fixed light backgrounds.
#pragma once

class QWidget;

namespace vestra7 {

// The panels paint their own light colours whatever the desktop's theme, so the theme's text colour
// (white on a dark theme) would all but vanish on them. Their labels take dark text of their own.
void setDarkPanelText(QWidget *label);

} // namespace vestra7
