// SPDX-License-Identifier: GPL-3.0-or-later
// The spin selector: value rules, notifications, steps from keys, wheel and the held step control,
// and the settings item lists.
#include "model/selector_items.h"
#include "widgets/spin_selector.h"

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace vestra7 {

using namespace std::chrono_literals;

namespace {

// A repeat timer that only fires when the test says so.
class ManualTimer final : public RepeatTimer
{
public:
    void start(std::chrono::milliseconds delay) override { pending = delay; }
    void stop() override { pending.reset(); }

    void fire()
    {
        ASSERT_TRUE(pending.has_value());
        pending.reset();
        emit timeout();
    }

    std::optional<std::chrono::milliseconds> pending;
};

class ShownSelector : public testing::Test
{
protected:
    void SetUp() override
    {
        selector = new SpinSelector(lineGainItems(), &window);
        selector->setGeometry(10, 10, 121, 24);
        auto manualTimer = std::make_unique<ManualTimer>();
        timer = manualTimer.get();
        selector->setRepeatTimer(std::move(manualTimer));
        QObject::connect(selector, &SpinSelector::valueChanged, [this](int value) {
            EXPECT_EQ(value, selector->value());
            shownAtNotification.push_back(selector->text());
        });
        window.resize(200, 60);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        selector->setFocus();
        ASSERT_TRUE(selector->hasFocus());
    }

    void wheel(int angle)
    {
        const QPointF at(20, 12);
        QWheelEvent event(at, selector->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(selector, &event);
    }

    QPoint upperHalf() const { return selector->stepControlRect().center() - QPoint(0, 4); }
    QPoint lowerHalf() const { return selector->stepControlRect().center() + QPoint(0, 4); }

    QWidget window;
    ManualTimer *timer = nullptr;
    SpinSelector *selector = nullptr;
    std::vector<QString> shownAtNotification;
};

struct ClampCase
{
    double v;
    int count;
    int index;
};

class ItemIndexClamp : public testing::TestWithParam<ClampCase>
{
};

} // namespace

TEST_P(ItemIndexClamp, ClampsAndDropsFractions)
{
    EXPECT_EQ(clampItemIndex(GetParam().v, GetParam().count), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(Values, ItemIndexClamp,
                         testing::Values(ClampCase{-56, 16, 0}, ClampCase{-0.5, 16, 0}, ClampCase{0, 16, 0},
                                         ClampCase{3.7, 16, 3}, ClampCase{14.99, 16, 14}, ClampCase{15, 16, 15},
                                         ClampCase{16, 16, 15}, ClampCase{255, 101, 100},
                                         ClampCase{std::numeric_limits<double>::quiet_NaN(), 16, 0},
                                         ClampCase{5, 0, 0}));

TEST(SpinSelectorStepControl, UpperHalfStepsUpLowerHalfDown)
{
    const QRect control(100, 2, 16, 20);
    EXPECT_EQ(stepDirectionAt(control, QPoint(105, 2)), StepDirection::Up);
    EXPECT_EQ(stepDirectionAt(control, QPoint(115, 11)), StepDirection::Up);
    EXPECT_EQ(stepDirectionAt(control, QPoint(100, 12)), StepDirection::Down);
    EXPECT_EQ(stepDirectionAt(control, QPoint(105, 21)), StepDirection::Down);
    EXPECT_EQ(stepDirectionAt(control, QPoint(99, 10)), StepDirection::None);
    EXPECT_EQ(stepDirectionAt(control, QPoint(105, 22)), StepDirection::None);
}

TEST(SpinSelectorValue, SettingShowsTheClampedItemAndNotifiesOnlyOnChange)
{
    SpinSelector selector(micGainItems());
    QSignalSpy changes(&selector, &SpinSelector::valueChanged);
    EXPECT_EQ(selector.text(), QStringLiteral("0 dB    "));

    selector.setValue(40);
    EXPECT_EQ(selector.text(), QStringLiteral("+22.5 dB"));
    EXPECT_EQ(selector.value(), 15);
    selector.setValue(15);
    EXPECT_EQ(changes.count(), 1);
    selector.setValue(-56);
    EXPECT_EQ(selector.text(), QStringLiteral("0 dB    "));
    selector.setValue(5);
    EXPECT_EQ(selector.text(), QStringLiteral("+7.5 dB "));
    selector.setItems(autoAnswerItems());
    EXPECT_EQ(selector.text(), QStringLiteral("OFF"));
    ASSERT_EQ(changes.count(), 3);
    EXPECT_EQ(changes.at(0).at(0).toInt(), 15);
    EXPECT_EQ(changes.at(1).at(0).toInt(), 0);
    EXPECT_EQ(changes.at(2).at(0).toInt(), 5);
}

TEST(SpinSelectorValue, EmptyListReadsZeroAndNeverNotifies)
{
    SpinSelector selector;
    QSignalSpy changes(&selector, &SpinSelector::valueChanged);
    selector.setValue(3);
    EXPECT_EQ(selector.value(), 0);
    EXPECT_TRUE(selector.text().isEmpty());
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(ShownSelector, ArrowKeysStepAndNotifyAfterTheItemIsShown)
{
    QTest::keyClick(selector, Qt::Key_Up);
    QTest::keyClick(selector, Qt::Key_Up);
    QTest::keyClick(selector, Qt::Key_Down);
    EXPECT_EQ(selector->value(), 1);
    EXPECT_EQ(shownAtNotification, (std::vector<QString>{"+ 1 dB", "+ 2 dB", "+ 1 dB"}));
}

TEST_F(ShownSelector, StepsPastEitherEndChangeNothingAndStaySilent)
{
    QTest::keyClick(selector, Qt::Key_Down);
    EXPECT_EQ(selector->text(), QStringLiteral("0 dB"));
    selector->setValue(99);
    shownAtNotification.clear();
    QTest::keyClick(selector, Qt::Key_Up);
    wheel(120);
    EXPECT_EQ(selector->text(), QStringLiteral("+ 99 dB"));
    EXPECT_TRUE(shownAtNotification.empty());
}

TEST_F(ShownSelector, TypedCharactersAreRefused)
{
    selector->setValue(10);
    shownAtNotification.clear();
    QTest::keyClicks(selector, QStringLiteral("5 dB"));
    QTest::keyClick(selector, Qt::Key_Backspace);
    QTest::keyClick(selector, Qt::Key_Delete);
    EXPECT_EQ(selector->text(), QStringLiteral("+ 10 dB"));
    EXPECT_TRUE(shownAtNotification.empty());
}

TEST_F(ShownSelector, WheelAwayStepsUpTowardStepsDownOnlyWhileFocused)
{
    wheel(120);
    wheel(240);
    EXPECT_EQ(selector->value(), 3);
    wheel(-120);
    EXPECT_EQ(selector->value(), 2);
    wheel(60); // half a notch of a fine wheel, then the other half
    EXPECT_EQ(selector->value(), 2);
    wheel(60);
    EXPECT_EQ(selector->value(), 3);
    EXPECT_EQ(shownAtNotification.size(), 5u);

    selector->clearFocus();
    wheel(120);
    EXPECT_EQ(selector->value(), 3);
}

TEST_F(ShownSelector, HeldStepControlRepeatsAfter400ThenEvery100Milliseconds)
{
    QTest::mousePress(selector, Qt::LeftButton, {}, upperHalf());
    EXPECT_EQ(selector->text(), QStringLiteral("+ 1 dB"));
    ASSERT_EQ(timer->pending, 400ms);
    timer->fire();
    EXPECT_EQ(selector->value(), 2);
    ASSERT_EQ(timer->pending, 100ms);
    timer->fire();
    EXPECT_EQ(selector->value(), 3);
    EXPECT_EQ(timer->pending, 100ms);

    // Off the pressed half the repeat pauses; back on it, it resumes.
    QTest::mouseMove(selector, lowerHalf());
    timer->fire();
    timer->fire();
    EXPECT_EQ(selector->value(), 3);
    QTest::mouseMove(selector, upperHalf());
    timer->fire();
    EXPECT_EQ(selector->value(), 4);

    QTest::mouseRelease(selector, Qt::LeftButton, {}, upperHalf());
    EXPECT_FALSE(timer->pending.has_value());
    EXPECT_EQ(shownAtNotification.size(), 4u);
}

TEST_F(ShownSelector, HeldLowerHalfStepsDownAndStopsQuietlyAtTheFirstItem)
{
    selector->setValue(2);
    shownAtNotification.clear();
    QTest::mousePress(selector, Qt::LeftButton, {}, lowerHalf());
    timer->fire();
    timer->fire();
    timer->fire();
    EXPECT_EQ(selector->text(), QStringLiteral("0 dB"));
    EXPECT_EQ(shownAtNotification, (std::vector<QString>{"+ 1 dB", "0 dB"}));
    QTest::mouseRelease(selector, Qt::LeftButton, {}, lowerHalf());
}

TEST_F(ShownSelector, PressOnTheTextStepsNothingAndHidingEndsAHold)
{
    QTest::mousePress(selector, Qt::LeftButton, {}, QPoint(10, 12));
    QTest::mouseRelease(selector, Qt::LeftButton, {}, QPoint(10, 12));
    EXPECT_EQ(selector->value(), 0);
    EXPECT_FALSE(timer->pending.has_value());

    QTest::mousePress(selector, Qt::LeftButton, {}, upperHalf());
    selector->hide();
    EXPECT_FALSE(timer->pending.has_value());
    EXPECT_EQ(selector->value(), 1);
}

TEST(SelectorItems, MicrophoneGainsAreEightCharactersWide)
{
    EXPECT_EQ(micGainItems(), (QStringList{"0 dB    ", "+1.5 dB ", "+3.0 dB ", "+4.5 dB ", "+6.0 dB ", "+7.5 dB ",
                                           "+9.0 dB ", "+10.5 dB", "+12.0 dB", "+13.5 dB", "+15.0 dB", "+16.5 dB",
                                           "+18.0 dB", "+19.5 dB", "+21.0 dB", "+22.5 dB"}));
}

TEST(SelectorItems, LineGainsAndAutoAnswerDelays)
{
    const QStringList line = lineGainItems();
    ASSERT_EQ(line.size(), 100);
    EXPECT_EQ(line[0], QStringLiteral("0 dB"));
    EXPECT_EQ(line[1], QStringLiteral("+ 1 dB"));
    EXPECT_EQ(line[10], QStringLiteral("+ 10 dB"));
    EXPECT_EQ(line[99], QStringLiteral("+ 99 dB"));

    const QStringList delays = autoAnswerItems();
    ASSERT_EQ(delays.size(), 101);
    EXPECT_EQ(delays[0], QStringLiteral("OFF"));
    EXPECT_EQ(delays[1], QStringLiteral("1 sec"));
    EXPECT_EQ(delays[42], QStringLiteral("42 sec"));
    EXPECT_EQ(delays[100], QStringLiteral("100 sec"));
}

} // namespace vestra7
