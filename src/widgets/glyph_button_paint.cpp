// SPDX-License-Identifier: GPL-3.0-or-later
// The glyph button's painting steps.
#include "widgets/glyph_button_paint.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

int glyphCellIndex(bool enabled, bool down, bool hover, int numGlyphs)
{
    if (!enabled)
        return 1;
    if (down && numGlyphs > 2)
        return 2;
    if (hover && numGlyphs > 3)
        return 3;
    return 0;
}

QSize glyphCellSize(QSize glyph, int numGlyphs)
{
    return {numGlyphs > 0 ? glyph.width() / numGlyphs : 0, glyph.height()};
}

QImage glyphCellImage(const QImage &glyph, int numGlyphs, int cellIndex)
{
    const QSize cell = glyphCellSize(glyph.size(), numGlyphs);
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

QString trimCaption(const QString &caption, int maxWidth, const std::function<int(const QString &)> &widthOf)
{
    QString text = caption;
    while (!text.isEmpty() && widthOf(text) > maxWidth)
        text.chop(1);
    return text;
}

QRect captionBox(QSize button, int textHeight, bool pressedIn)
{
    const int shift = pressedIn ? 2 : 0;
    return QRect(QPoint(shift, (button.height() - textHeight) / 2 + shift),
                 QPoint(button.width() - 1, button.height() - 1));
}

GlyphButtonColours deriveGlyphButtonColours(const QColor &color)
{
    const auto shifted = [&color](int by) {
        return QColor(std::clamp(color.red() + by, 0, 255), std::clamp(color.green() + by, 0, 255),
                      std::clamp(color.blue() + by, 0, 255));
    };
    const int grey = (color.red() + color.green() + color.blue()) / 3;
    return {shifted(128), shifted(32), shifted(-128), QColor(), grey >= 96 ? QColor(Qt::black) : QColor(Qt::white)};
}

QImage composeGlyphButton(const GlyphButtonFace &face)
{
    if (face.size.isEmpty())
        return {};
    QImage image(face.size, QImage::Format_ARGB32);
    image.fill(glyphButtonKeyColour);
    QPainter painter(&image);

    QImage cell = glyphCellImage(face.glyph, face.numGlyphs, face.cellIndex);
    if (!cell.isNull()) {
        makeColourTransparent(cell, cell.pixel(0, cell.height() - 1));
        painter.drawImage(glyphCellOrigin(face.size, cell.size()), cell);
    }

    if (!face.caption.isEmpty()) {
        // Smoothed text would blend into the key colour and leave a magenta fringe once it is keyed out.
        QFont font = face.font;
        font.setStyleStrategy(QFont::NoAntialias);
        const QFontMetrics metrics(font);
        const int wrapWidth = face.size.width() - 8;
        const QString text =
            face.wordWrap ? face.caption : trimCaption(face.caption, wrapWidth, [&metrics](const QString &s) {
                return metrics.horizontalAdvance(s);
            });
        const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
        const int textHeight = metrics.boundingRect(QRect(0, 0, wrapWidth, face.size.height()), flags, text).height();
        painter.setFont(font);
        painter.setPen(face.captionColour);
        painter.drawText(captionBox(face.size, textHeight, face.pressedIn), flags, text);
    }
    return image;
}

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
