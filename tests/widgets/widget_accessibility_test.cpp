// SPDX-License-Identifier: GPL-3.0-or-later
// What screen readers learn of the glyph button and the spin selector, and what they can do with them.
#include "widgets/glyph_button.h"
#include "widgets/spin_selector.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPainter>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

TEST(GlyphButtonAccessibility, IsAButtonNamedByItsOwnerThatAPressActionPressesWithoutHoldingItDown)
{
    GlyphButton button;
    button.resize(60, 60);
    // Red while up, blue while down.
    QImage glyph(180, 60, QImage::Format_RGB32);
    glyph.fill(Qt::red);
    glyph.setPixel(0, 59, qRgb(255, 255, 255));
    QPainter(&glyph).fillRect(120, 0, 60, 59, Qt::blue);
    button.setGlyph(glyph);
    button.setAccessibleName(QStringLiteral("Call, line A"));
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&button);
    ASSERT_TRUE(accessible);
    EXPECT_EQ(accessible->role(), QAccessible::Button);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Call, line A");

    QAccessibleActionInterface *actions = accessible->actionInterface();
    ASSERT_TRUE(actions);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    QSignalSpy pressed(&button, &GlyphButton::pressed);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pressed.count(), 1);
    // No release will come to bring it up.
    EXPECT_EQ(button.grab().toImage().pixel(30, 30), QColor(Qt::red).rgb());

    button.setEnabled(false);
    EXPECT_TRUE(accessible->state().disabled);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pressed.count(), 1);
}

TEST(SpinSelectorAccessibility, ItsValueIsTheShownItemAndSettingItIsAChange)
{
    SpinSelector selector({QStringLiteral("0 dB    "), QStringLiteral("+1.5 dB "), QStringLiteral("+3.0 dB ")});
    QSignalSpy changes(&selector, &SpinSelector::valueChanged);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&selector);
    ASSERT_TRUE(accessible);
    EXPECT_EQ(accessible->role(), QAccessible::SpinBox);
    QAccessibleValueInterface *value = accessible->valueInterface();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->maximumValue().toInt(), 2);

    selector.setValue(1);
    EXPECT_EQ(accessible->text(QAccessible::Value), "+1.5 dB");
    EXPECT_EQ(value->currentValue().toInt(), 1);
    value->setCurrentValue(1.9); // the fraction is dropped, not rounded
    EXPECT_EQ(selector.value(), 1);
    value->setCurrentValue(7); // clamped as any other value
    EXPECT_EQ(selector.text(), "+3.0 dB ");
    EXPECT_EQ(changes.count(), 2);
}

} // namespace

} // namespace vestra7
