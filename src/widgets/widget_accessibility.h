// SPDX-License-Identifier: GPL-3.0-or-later
// What screen readers learn of the glyph button and the spin selector.
#pragma once

// Registers the accessible interfaces of GlyphButton (a button with a press action) and SpinSelector
// (a spin box whose value is the shown item) with Qt. Each widget calls it on construction; the
// registration happens once.
void installWidgetAccessibility();
