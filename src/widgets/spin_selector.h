// SPDX-License-Identifier: GPL-3.0-or-later
// SpinSelector: a read-only field that shows one item of a fixed list and steps through it.
#pragma once

#include "widgets/repeat_timer.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class QStyleOptionSpinBox;

namespace vestra7 {

// The item index a value v selects among `count` items: below 0 gives 0, count or more gives the
// last index, otherwise the fraction is dropped. Values never wrap around.
int clampItemIndex(double v, int count);

enum class StepDirection { None, Up, Down };

// The half of the step control a point falls in: the upper half steps up, the lower half down.
StepDirection stepDirectionAt(const QRect &stepControl, QPoint point);

// Steps come from the step control at the right end (a step on the press, then, while the button is
// held on the pressed half, again 400 ms later and every 100 ms after that), from the Up and Down keys
// and from the wheel while the field has the focus. Typed characters are refused.
//
// valueChanged() follows every change of the shown text, whether a step or setValue() made it, and
// never comes when the text stays the same; setItems() raises none. To load values without it, block
// the selector's signals with a QSignalBlocker.
class SpinSelector : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QStringList items READ items WRITE setItems)
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged USER true)

public:
    explicit SpinSelector(QWidget *parent = nullptr);
    explicit SpinSelector(const QStringList &items, QWidget *parent = nullptr);

    // Replaces the list and shows its first item, without a notification.
    void setItems(const QStringList &items);
    const QStringList &items() const { return m_items; }

    QString text() const { return m_text; }
    // The index of the shown text among the items; a text that matches no item reads as 0.
    int value() const;

    // Where the step control lies, in the selector's coordinates.
    QRect stepControlRect() const;
    // For tests: replaces the timer that drives the hold-to-repeat.
    void setRepeatTimer(std::unique_ptr<RepeatTimer> timer);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // Shows the item clampItemIndex(value) selects.
    void setValue(int value);

signals:
    // The index of the item now shown.
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showItem(int index);
    void step(StepDirection direction);
    void repeatStep();
    void stopRepeat();
    void initStyleOption(QStyleOptionSpinBox *option) const;

    QStringList m_items;
    QString m_text;
    std::unique_ptr<RepeatTimer> m_repeatTimer;
    StepDirection m_pressed = StepDirection::None;
    bool m_pointerOnPressedHalf = false;
    int m_wheelRemainder = 0;
};

} // namespace vestra7
