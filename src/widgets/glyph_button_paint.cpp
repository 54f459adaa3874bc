// SPDX-License-Identifier: GPL-3.0-or-later
// The glyph button's painting steps.
#include "widgets/glyph_button_paint.h"

#include <QPainter>

namespace vestra7 {

namespace {

// The colour that fills the off-screen image before anything is drawn; it never reaches the screen.
constexpr QRgb keyColour = qRgb(255, 0, 255);

// Makes every pixel of exactly `colour` fully transparent (the image is converted to ARGB32).
void makeColourTransparent(QImage &image, QRgb colour)
{
    if (image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb rgb = colour & RGB_MASK;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & RGB_MASK) == rgb)
                line[x] = 0;
        }
    }
}

} // namespace

int glyphCellCount(QSize glyph)
{
    return glyph.height() > 0 ? glyph.width() / glyph.height() : 0;
}

int glyphCellIndex(bool enabled, bool down, bool hover, int cellCount)
{
    if (!enabled)
        return 1;
    if (down && cellCount > 2)
        return 2;
    if (hover && cellCount > 3)
        return 3;
    return 0;
}

QImage glyphCellImage(const QImage &glyph, int cellCount, int cellIndex)
{
    const QSize cell(cellCount > 0 ? glyph.width() / cellCount : 0, glyph.height());
    if (cell.isEmpty())
        return {};
    // A copy of the glyph's start, with the glyph drawn over it shifted left to the wanted cell: where
    // the glyph runs out, the first cell stays visible.
    QImage image = glyph.copy(0, 0, cell.width(), cell.height()).convertToFormat(QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(-cellIndex * cell.width(), 0, glyph);
    return image;
}

QPoint glyphCellOrigin(QSize button, QSize cell)
{
    return {(button.width() - cell.width()) / 2, (button.height() - cell.height()) / 2};
}

QImage composeGlyphButton(QSize button, const QImage &cell)
{
    if (button.isEmpty())
        return {};
    QImage image(button, QImage::Format_ARGB32);
    image.fill(keyColour);
    if (!cell.isNull()) {
        QImage shown = cell;
        makeColourTransparent(shown, cell.pixel(0, cell.height() - 1));
        QPainter(&image).drawImage(glyphCellOrigin(button, cell.size()), shown);
    }
    makeColourTransparent(image, keyColour);
    return image;
}

} // namespace vestra7
