// SPDX-License-Identifier: GPL-3.0-or-later
// GlyphButton: a windowless push button that shows one cell of a picture.
#pragma once

#include <QImage>
#include <QWidget>

namespace vestra7 {

// The button has no native window: it is drawn into its parent's surface, so its transparent parts
// show whatever the parent painted beneath. Each paint composes the face off-screen from the current
// glyph and copies it over the parent in one go, with the key colour left out.
class GlyphButton : public QWidget
{
    Q_OBJECT
    // Square cells side by side, one per state: enabled, disabled, down, hovered. The number of cells
    // is the picture's width div its height; a state without a cell of its own shows the first one.
    Q_PROPERTY(QImage glyph READ glyph WRITE setGlyph)

public:
    explicit GlyphButton(QWidget *parent = nullptr);

    QImage glyph() const { return m_glyph; }
    void setGlyph(const QImage &glyph);

public slots:
    // A press from the keyboard or an assistive tool: pressed() without the button going down, for
    // there is no release to bring it up. A disabled button takes no press, as it takes no mouse press.
    void press();

signals:
    // A left, right or middle press anywhere in the button's rectangle, transparent parts included,
    // raised before the button goes down. The second press of a double click arrives as a plain press.
    void pressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setDown(bool down);
    void setHovered(bool hovered);

    QImage m_glyph;
    // True while the left mouse button is held on the button.
    bool m_down = false;
    // True while the pointer is on the enabled button.
    bool m_hovered = false;
};

} // namespace vestra7
