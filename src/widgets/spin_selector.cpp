// SPDX-License-Identifier: GPL-3.0-or-later
// SpinSelector: value rules, steps from the step control, keys and wheel, and painting.
#include "widgets/spin_selector.h"

#include "widgets/widget_accessibility.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QKeyEvent>
#include <QStyleOptionSpinBox>
#include <QStylePainter>

#include <algorithm>

namespace vestra7 {

using namespace std::chrono_literals;

namespace {

constexpr auto firstRepeatDelay = 400ms;
constexpr auto repeatInterval = 100ms;
constexpr int wheelNotch = 120; // one notch of an ordinary wheel, in eighths of a degree

} // namespace

int clampItemIndex(double v, int count)
{
    if (count <= 0 || !(v >= 0.0)) // NaN lands on the first item too
        return 0;
    if (v >= count)
        return count - 1;
    return static_cast<int>(v);
}

StepDirection stepDirectionAt(const QRect &stepControl, QPoint point)
{
    if (!stepControl.contains(point))
        return StepDirection::None;
    return point.y() - stepControl.top() < stepControl.height() / 2 ? StepDirection::Up : StepDirection::Down;
}

SpinSelector::SpinSelector(QWidget *parent)
    : SpinSelector(QStringList(), parent)
{
}

SpinSelector::SpinSelector(const QStringList &items, QWidget *parent)
    : QWidget(parent)
{
    setRepeatTimer(std::make_unique<QtRepeatTimer>());
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    setItems(items);
    installWidgetAccessibility();
}

void SpinSelector::setItems(const QStringList &items)
{
    m_items = items;
    m_text = items.isEmpty() ? QString() : items.first();
    updateGeometry();
    update();
}

int SpinSelector::value() const
{
    const qsizetype index = m_items.indexOf(m_text);
    return index < 0 ? 0 : static_cast<int>(index);
}

void SpinSelector::setValue(int value)
{
    showItem(clampItemIndex(value, static_cast<int>(m_items.size())));
}

void SpinSelector::showItem(int index)
{
    if (m_items.isEmpty() || m_items.at(index) == m_text)
        return;
    m_text = m_items.at(index);
    update();
    QAccessibleValueChangeEvent announcement(this, index);
    QAccessible::updateAccessibility(&announcement);
    emit valueChanged(value());
}

void SpinSelector::step(StepDirection direction)
{
    if (direction == StepDirection::Up)
        setValue(value() + 1);
    else if (direction == StepDirection::Down)
        setValue(value() - 1);
}

void SpinSelector::setRepeatTimer(std::unique_ptr<RepeatTimer> timer)
{
    stopRepeat();
    m_repeatTimer = std::move(timer);
    connect(m_repeatTimer.get(), &RepeatTimer::timeout, this, &SpinSelector::repeatStep);
}

void SpinSelector::repeatStep()
{
    if (m_pressed == StepDirection::None)
        return;
    // Away from the pressed half the repeat only waits; it steps again once the pointer is back.
    if (m_pointerOnPressedHalf)
        step(m_pressed);
    if (m_pressed != StepDirection::None)
        m_repeatTimer->start(repeatInterval);
}

void SpinSelector::stopRepeat()
{
    if (m_pressed == StepDirection::None)
        return;
    m_pressed = StepDirection::None;
    m_pointerOnPressedHalf = false;
    m_repeatTimer->stop();
    update();
}

void SpinSelector::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const StepDirection direction = stepDirectionAt(stepControlRect(), event->position().toPoint());
    if (direction == StepDirection::None)
        return;
    m_pressed = direction;
    m_pointerOnPressedHalf = true;
    update();
    step(direction);
    // A receiver of the change may have hidden or disabled the selector, which ends the hold.
    if (m_pressed == direction)
        m_repeatTimer->start(firstRepeatDelay);
}

void SpinSelector::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressed == StepDirection::None)
        return;
    const bool onPressedHalf = stepDirectionAt(stepControlRect(), event->position().toPoint()) == m_pressed;
    if (onPressedHalf != m_pointerOnPressedHalf) {
        m_pointerOnPressedHalf = onPressedHalf;
        update();
    }
}

void SpinSelector::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        stopRepeat();
}

void SpinSelector::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        step(StepDirection::Up);
        break;
    case Qt::Key_Down:
        step(StepDirection::Down);
        break;
    default:
        // Typed characters are refused: the text only ever shows an item.
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void SpinSelector::wheelEvent(QWheelEvent *event)
{
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    // Fine-grained wheels send fractions of a notch; they add up to whole steps.
    m_wheelRemainder += event->angleDelta().y();
    while (m_wheelRemainder >= wheelNotch) {
        m_wheelRemainder -= wheelNotch;
        step(StepDirection::Up);
    }
    while (m_wheelRemainder <= -wheelNotch) {
        m_wheelRemainder += wheelNotch;
        step(StepDirection::Down);
    }
    event->accept();
}

void SpinSelector::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        stopRepeat();
    QWidget::changeEvent(event);
}

void SpinSelector::hideEvent(QHideEvent *event)
{
    stopRepeat();
    QWidget::hideEvent(event);
}

void SpinSelector::initStyleOption(QStyleOptionSpinBox *option) const
{
    option->initFrom(this);
    option->frame = true;
    option->buttonSymbols = QAbstractSpinBox::UpDownArrows;
    option->subControls =
        QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    const int index = value();
    option->stepEnabled = QAbstractSpinBox::StepNone;
    if (index + 1 < m_items.size())
        option->stepEnabled |= QAbstractSpinBox::StepUpEnabled;
    if (index > 0)
        option->stepEnabled |= QAbstractSpinBox::StepDownEnabled;
    option->activeSubControls = QStyle::SC_None;
    if (m_pressed != StepDirection::None && m_pointerOnPressedHalf) {
        option->activeSubControls = m_pressed == StepDirection::Up ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown;
        option->state |= QStyle::State_Sunken;
    }
}

QRect SpinSelector::stepControlRect() const
{
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()
        ->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this)
        .united(style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown, this));
}

QSize SpinSelector::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    int textWidth = 0;
    for (const QString &item : m_items)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(item));
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize content(textWidth + 6, metrics.height() + 4);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, content, this);
}

QSize SpinSelector::minimumSizeHint() const
{
    return sizeHint();
}

void SpinSelector::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_SpinBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, this).adjusted(2, 0, -2, 0);
    style()->drawItemText(&painter, field, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(), m_text,
                          QPalette::Text);
}

} // namespace vestra7
