// SPDX-License-Identifier: GPL-3.0-or-later
// What screen readers learn of the glyph button, the spin selector and the coverable frame.
#pragma once

namespace vestra7 {

// Registers the accessible interfaces of GlyphButton (a button with a press action), SpinSelector
// (a spin box whose value is the shown item) and CoverableFrame (no children while covered) with Qt.
// Each widget calls it on construction; the registration happens once.
void installWidgetAccessibility();

} // namespace vestra7
