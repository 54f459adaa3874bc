// SPDX-License-Identifier: GPL-3.0-or-later
// GlyphButton: a windowless push button that shows one cell of a picture and an optional caption.
#pragma once

#include "widgets/glyph_button_paint.h"

#include <QCursor>
#include <QImage>
#include <QWidget>

// The button has no native window: it is drawn into its parent's surface, so its transparent parts
// show whatever the parent painted beneath. Each paint composes the face off-screen from the current
// Glyph bitmap and copies it over the parent in one go, with the key colour left out.
class GlyphButton : public QWidget
{
    Q_OBJECT

public:
    // Only the shape style is built: no face and no border, just the glyph and the caption.
    enum class ButtonStyle { bsShape };

    explicit GlyphButton(QWidget *parent = nullptr);

    const QImage &Glyph() const { return m_glyph; }
    // Takes a whole new bitmap of square cells side by side: NumGlyphs becomes its width div height.
    void setGlyph(const QImage &glyph);
    // Loads a picture into the existing bitmap. NumGlyphs stays as it is and the button is not
    // redrawn: the picture shows from the next repaint on, which the owner asks for with Repaint().
    void loadGlyph(const QImage &picture);

    int NumGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int numGlyphs);

    ButtonStyle Style() const { return m_style; }
    void setStyle(ButtonStyle style);
    using QWidget::setStyle;

    // True: property changes only invalidate the button, so the parent repaints beneath it.
    // False: they repaint the button at once.
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool transparent);

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    // The caption's colour, drawn in the widget's font.
    QColor captionColor() const { return m_captionColor; }
    void setCaptionColor(const QColor &color);
    bool WordWrap() const { return m_wordWrap; }
    void setWordWrap(bool wordWrap);

    // The face colour, and the colours derived from it whenever it is set (the caption colour too).
    QColor Color() const { return m_color; }
    void setColor(const QColor &color);
    QColor LightColor() const { return m_colours.light; }
    QColor HotTrackColor() const { return m_colours.hotTrack; }
    QColor ShadowColor() const { return m_colours.shadow; }
    QColor ColorWhenDown() const { return m_colours.colorWhenDown; }

    // Free for the owner; the button never reads it.
    int Tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The pointer shape shown over the button while it is enabled (the hand unless set otherwise);
    // a disabled button shows its parent's pointer.
    QCursor enabledCursor() const { return m_enabledCursor; }
    void setEnabledCursor(const QCursor &cursor);

    // True while the left mouse button is held on the button.
    bool Down() const { return m_down; }
    // True while the pointer is on the enabled button.
    bool hovered() const { return m_hover; }

    // Redraws at once: the parent's background first, the button over it.
    void Repaint();

    // A press from the keyboard or an assistive tool: OnMouseDown as a left press at the centre,
    // without the button going down, for there is no release to bring it up. A disabled button
    // takes no press, as it takes no mouse press.
    void press();

signals:
    // A left, right or middle press anywhere in the button's rectangle, transparent parts included,
    // raised before the button goes down. X and Y are relative to the button. The second press of a
    // double click arrives as a plain press.
    void OnMouseDown(GlyphButton *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void refresh();
    void setDown(bool down);
    void setHover(bool hover);

    QImage m_glyph;
    int m_numGlyphs = 0;
    ButtonStyle m_style = ButtonStyle::bsShape;
    bool m_transparent = true;
    QString m_caption;
    QColor m_captionColor = Qt::black;
    bool m_wordWrap = false;
    QColor m_color;
    GlyphButtonColours m_colours{QColor(), Qt::white, QColor(), QColor(), Qt::black};
    int m_tag = 0;
    QCursor m_enabledCursor{Qt::PointingHandCursor};
    bool m_down = false;
    bool m_hover = false;
};
