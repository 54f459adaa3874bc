// SPDX-License-Identifier: GPL-3.0-or-later
// GlyphButton: painting, mouse handling and the enabled, down and hover states.
#include "widgets/glyph_button.h"

#include "widgets/glyph_button_paint.h"
#include "widgets/widget_accessibility.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace vestra7 {

namespace {

// The pointer over an enabled button; a disabled one shows its parent's.
constexpr Qt::CursorShape enabledCursor = Qt::PointingHandCursor;

} // namespace

GlyphButton::GlyphButton(QWidget *parent)
    : QWidget(parent)
{
    setCursor(enabledCursor);
    installWidgetAccessibility();
}

void GlyphButton::setGlyph(const QImage &glyph)
{
    m_glyph = glyph;
    update();
}

void GlyphButton::press()
{
    if (isEnabled())
        emit pressed();
}

void GlyphButton::setDown(bool down)
{
    if (m_down == down)
        return;
    m_down = down;
    update();
}

void GlyphButton::setHovered(bool hovered)
{
    if (m_hovered == hovered)
        return;
    m_hovered = hovered;
    update();
}

void GlyphButton::paintEvent(QPaintEvent *)
{
    const int cellCount = glyphCellCount(m_glyph.size());
    const QImage cell = glyphCellImage(m_glyph, cellCount, glyphCellIndex(isEnabled(), m_down, m_hovered, cellCount));
    QPainter(this).drawImage(0, 0, composeGlyphButton(size(), cell));
}

void GlyphButton::mousePressEvent(QMouseEvent *event)
{
    const Qt::MouseButton button = event->button();
    if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton) {
        event->ignore();
        return;
    }
    QPointer<GlyphButton> self(this);
    emit pressed();
    // A receiver may have disabled or deleted the button; a disabled button would never see the
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
        setHovered(true);
}

void GlyphButton::leaveEvent(QEvent *)
{
    setHovered(false);
}

void GlyphButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (isEnabled()) {
            setCursor(enabledCursor);
        } else {
            // Without a cursor of its own the button shows its parent's pointer; Qt would otherwise
            // show the default arrow over a disabled widget that has one.
            unsetCursor();
            m_down = false;
            m_hovered = false;
        }
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace vestra7
