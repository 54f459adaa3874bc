// SPDX-License-Identifier: GPL-3.0-or-later
// The accessible interfaces of GlyphButton, SpinSelector and CoverableFrame, and their registration.
#include "widgets/widget_accessibility.h"

#include "widgets/coverable_frame.h"
#include "widgets/glyph_button.h"
#include "widgets/spin_selector.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace vestra7 {

namespace {

// The button draws itself and is no QAbstractButton, so Qt would announce it as a plain pane.
class GlyphButtonAccessible final : public QAccessibleWidget
{
public:
    explicit GlyphButtonAccessible(GlyphButton *button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
    }

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction())
            button()->press();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    GlyphButton *button() const { return static_cast<GlyphButton *>(widget()); }
};

// The selector's value for a screen reader is the item it shows; its index is the numeric value.
class SpinSelectorAccessible final : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit SpinSelectorAccessible(SpinSelector *selector)
        : QAccessibleWidget(selector, QAccessible::SpinBox)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        // Some items are padded with blanks to a common width; a reader has no use for them.
        if (t == QAccessible::Value)
            return selector()->text().trimmed();
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return selector()->value(); }
    // An assistive tool may offer any number; it lands on an item as a value set in code would.
    void setCurrentValue(const QVariant &value) override
    {
        selector()->setValue(clampItemIndex(value.toDouble(), static_cast<int>(selector()->items().size())));
    }
    QVariant maximumValue() const override { return std::max(static_cast<int>(selector()->items().size()) - 1, 0); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    SpinSelector *selector() const { return static_cast<SpinSelector *>(widget()); }
};

// A covered frame has no children for a screen reader: what lies under the cover is not there to use.
class CoverableFrameAccessible final : public QAccessibleWidget
{
public:
    explicit CoverableFrameAccessible(CoverableFrame *frame)
        : QAccessibleWidget(frame, QAccessible::Pane)
    {
    }

    int childCount() const override { return frame()->isCovered() ? 0 : QAccessibleWidget::childCount(); }
    QAccessibleInterface *child(int index) const override
    {
        return frame()->isCovered() ? nullptr : QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return frame()->isCovered() ? -1 : QAccessibleWidget::indexOfChild(child);
    }

private:
    CoverableFrame *frame() const { return static_cast<CoverableFrame *>(widget()); }
};

QAccessibleInterface *accessibleWidget(const QString &className, QObject *object)
{
    // Qt asks with the name of each class up the object's hierarchy, most derived first.
    if (className == QLatin1String(GlyphButton::staticMetaObject.className()))
        return new GlyphButtonAccessible(static_cast<GlyphButton *>(object));
    if (className == QLatin1String(SpinSelector::staticMetaObject.className()))
        return new SpinSelectorAccessible(static_cast<SpinSelector *>(object));
    if (className == QLatin1String(CoverableFrame::staticMetaObject.className()))
        return new CoverableFrameAccessible(static_cast<CoverableFrame *>(object));
    return nullptr;
}

} // namespace

void installWidgetAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleWidget);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace vestra7
