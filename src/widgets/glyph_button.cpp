// SPDX-License-Identifier: GPL-3.0-or-later
// GlyphButton: painting, mouse handling and the enabled, down and hover states.
#include "widgets/glyph_button.h"

#include "widgets/widget_accessibility.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

GlyphButton::GlyphButton(QWidget *parent)
    : QWidget(parent)
{
    QWidget::setCursor(m_enabledCursor);
    installWidgetAccessibility();
}

void GlyphButton::setGlyph(const QImage &glyph)
{
    m_glyph = glyph;
    m_numGlyphs = glyph.height() > 0 ? glyph.width() / glyph.height() : 0;
    refresh();
}

void GlyphButton::loadGlyph(const QImage &picture)
{
    m_glyph = picture;
}

void GlyphButton::setNumGlyphs(int numGlyphs)
{
    m_numGlyphs = std::max(numGlyphs, 0);
    refresh();
}

void GlyphButton::setStyle(ButtonStyle style)
{
    m_style = style;
    refresh();
}

void GlyphButton::setTransparent(bool transparent)
{
    m_transparent = transparent;
    refresh();
}

void GlyphButton::setCaption(const QString &caption)
{
    m_caption = caption;
    refresh();
}

void GlyphButton::setCaptionColor(const QColor &color)
{
    m_captionColor = color;
    refresh();
}

void GlyphButton::setWordWrap(bool wordWrap)
{
    m_wordWrap = wordWrap;
    refresh();
}

void GlyphButton::setColor(const QColor &color)
{
    m_color = color;
    m_colours = deriveGlyphButtonColours(color);
    m_captionColor = m_colours.caption;
    refresh();
}

void GlyphButton::setEnabledCursor(const QCursor &cursor)
{
    m_enabledCursor = cursor;
    if (isEnabled())
        QWidget::setCursor(cursor);
}

void GlyphButton::Repaint()
{
    repaint();
}

void GlyphButton::press()
{
    if (!isEnabled())
        return;
    const QPoint centre = rect().center();
    emit OnMouseDown(this, Qt::LeftButton, Qt::NoModifier, centre.x(), centre.y());
}

void GlyphButton::refresh()
{
    if (m_transparent)
        update();
    else
        repaint();
}

void GlyphButton::setDown(bool down)
{
    if (m_down == down)
        return;
    m_down = down;
    refresh();
}

void GlyphButton::setHover(bool hover)
{
    if (m_hover == hover)
        return;
    m_hover = hover;
    refresh();
}

void GlyphButton::paintEvent(QPaintEvent *)
{
    GlyphButtonFace face;
    face.size = size();
    face.glyph = m_glyph;
    face.numGlyphs = m_numGlyphs;
    face.cellIndex = glyphCellIndex(isEnabled(), m_down, m_hover, m_numGlyphs);
    face.caption = m_caption;
    face.font = font();
    face.captionColour = m_captionColor;
    face.wordWrap = m_wordWrap;
    face.pressedIn = m_down && isEnabled();
    QImage image = composeGlyphButton(face);
    makeColourTransparent(image, glyphButtonKeyColour);
    QPainter(this).drawImage(0, 0, image);
}

void GlyphButton::mousePressEvent(QMouseEvent *event)
{
    const Qt::MouseButton button = event->button();
    if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton) {
        event->ignore();
        return;
    }
    const QPoint at = event->position().toPoint();
    QPointer<GlyphButton> self(this);
    emit OnMouseDown(this, button, event->modifiers(), at.x(), at.y());
    // The handler may have disabled or deleted the button; a disabled button would never see the
    // release, so it must not be left down.
    if (self && button == Qt::LeftButton && isEnabled())
        setDown(true);
}

void GlyphButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click counts as one more plain press.
    mousePressEvent(event);
}

void GlyphButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        setDown(false);
}

void GlyphButton::enterEvent(QEnterEvent *)
{
    if (isEnabled() && isVisible() && parentWidget() && parentWidget()->isVisible())
        setHover(true);
}

void GlyphButton::leaveEvent(QEvent *)
{
    setHover(false);
}

void GlyphButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (isEnabled()) {
            QWidget::setCursor(m_enabledCursor);
        } else {
            // Without a cursor of its own the button shows its parent's pointer; Qt would otherwise
            // show the default arrow over a disabled widget that has one.
            unsetCursor();
            m_down = false;
            m_hover = false;
        }
        refresh();
    } else if (event->type() == QEvent::FontChange) {
        refresh();
    }
    QWidget::changeEvent(event);
}
