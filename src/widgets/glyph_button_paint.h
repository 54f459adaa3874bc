// SPDX-License-Identifier: GPL-3.0-or-later
// The glyph button's painting, as pure steps: choosing the cell, placing it, fitting the caption,
// deriving colours and composing the face in an off-screen image.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <functional>

// The colour that fills the off-screen image before anything is drawn; it never reaches the screen.
inline constexpr QRgb glyphButtonKeyColour = qRgb(255, 0, 255);

// Which cell of the glyph a button shows. A disabled button shows cell 1; an enabled one cell 0,
// cell 2 while down (when the glyph has more than two cells) or cell 3 while the pointer is on it
// (when it has more than three). Down wins over hover.
int glyphCellIndex(bool enabled, bool down, bool hover, int numGlyphs);

// Width of one cell (glyph width div numGlyphs, 0 without cells) by the glyph's height.
QSize glyphCellSize(QSize glyph, int numGlyphs);

// The picture of one cell. When the glyph is too narrow to hold that cell, what it lacks keeps showing
// the first cell, so a one-cell glyph looks the same in every state.
QImage glyphCellImage(const QImage &glyph, int numGlyphs, int cellIndex);

// Where a cell lands: centred in the button, ((W - w) div 2, (H - h) div 2).
QPoint glyphCellOrigin(QSize button, QSize cell);

// Removes characters from the end, one at a time, until the text is at most maxWidth wide. No ellipsis.
QString trimCaption(const QString &caption, int maxWidth, const std::function<int(const QString &)> &widthOf);

// The box the caption is drawn in, from (p, (H - t) div 2 + p) to the button's bottom-right corner,
// where t is the wrapped caption's height and p is 2 while the button is pressed in.
QRect captionBox(QSize button, int textHeight, bool pressedIn);

// The colours that follow from a face colour, each channel clamped to 0..255.
struct GlyphButtonColours
{
    QColor light;         // colour + 128
    QColor hotTrack;      // colour + 32
    QColor shadow;        // colour - 128
    QColor colorWhenDown; // reset: invalid, meaning none
    QColor caption;       // black on a light face ((R + G + B) div 3 >= 96), white on a dark one
};
GlyphButtonColours deriveGlyphButtonColours(const QColor &color);

// Everything one paint of the button depends on.
struct GlyphButtonFace
{
    QSize size;
    QImage glyph;
    int numGlyphs = 0;
    int cellIndex = 0;
    QString caption;
    QFont font;
    QColor captionColour = Qt::black;
    bool wordWrap = false;
    bool pressedIn = false;
};

// The face composed in a 32-bit image filled with the key colour: the cell centred, with the colour of
// its bottom-left pixel left out, and the caption over it.
QImage composeGlyphButton(const GlyphButtonFace &face);

// Makes every pixel of exactly `colour` fully transparent (the image is converted to ARGB32).
void makeColourTransparent(QImage &image, QRgb colour);
