// SPDX-License-Identifier: GPL-3.0-or-later
// The captioned progress bar: its caption label, independence of caption and position, and its looks.
#include "widgets/captioned_progress_bar.h"

#include <QLabel>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

class ShownBar : public testing::Test
{
protected:
    void SetUp() override
    {
        bar.resize(300, 24);
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    }

    QImage rendered() { return bar.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    CaptionedProgressBar bar;
};

} // namespace

TEST(CaptionedProgressBar, StartsWithZeroPercentCaptionOwnedByTheBar)
{
    QPointer<QLabel> cap;
    {
        CaptionedProgressBar bar;
        cap = bar.captionLabel();
        ASSERT_TRUE(cap);
        EXPECT_EQ(cap->text(), QStringLiteral("0%"));
        EXPECT_EQ(cap->parentWidget(), &bar);
        EXPECT_EQ(cap->alignment(), Qt::AlignHCenter | Qt::AlignTop);
        EXPECT_FALSE(cap->autoFillBackground());
        EXPECT_EQ(bar.minimum(), 0);
        EXPECT_EQ(bar.maximum(), 100);
        EXPECT_EQ(bar.value(), 0);

        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
        bar.resize(250, 30);
        EXPECT_EQ(cap->geometry(), QRect(0, 0, 250, 30));

        QFont font = bar.font();
        font.setBold(true);
        font.setPixelSize(13);
        bar.setFont(font);
        EXPECT_EQ(cap->font(), font);
    }
    EXPECT_TRUE(cap.isNull());
}

TEST(CaptionedProgressBar, CaptionAndPositionAreSetEachOnItsOwn)
{
    CaptionedProgressBar bar;
    bar.setValue(42);
    EXPECT_EQ(bar.captionLabel()->text(), QStringLiteral("0%"));
    bar.captionLabel()->setText(QStringLiteral("77.0 %"));
    EXPECT_EQ(bar.value(), 42);
    bar.setValue(0);
    EXPECT_EQ(bar.captionLabel()->text(), QStringLiteral("77.0 %"));
}

TEST(CaptionedProgressBar, MarqueeAndBackRestoresRangeAndPosition)
{
    CaptionedProgressBar bar;
    bar.setRange(0, 200);
    bar.setValue(150);
    bar.setBarStyle(CaptionedProgressBar::BarStyle::Marquee);
    EXPECT_EQ(bar.maximum(), 0);
    bar.setBarStyle(CaptionedProgressBar::BarStyle::Ordinary);
    EXPECT_EQ(bar.maximum(), 200);
    EXPECT_EQ(bar.value(), 150);
}

TEST_F(ShownBar, CaptionIsDrawnOverTheVisibleBar)
{
    bar.setValue(100);
    bar.captionLabel()->setText(QString());
    const QImage bare = rendered();
    // Without a caption the full bar's middle looks like the rest of it: the bar draws no text itself.
    for (int y = 0; y < bar.height(); ++y)
        ASSERT_EQ(bare.pixel(150, y), bare.pixel(60, y)) << y;
    bar.captionLabel()->setText(QStringLiteral("88.8 %"));
    const QImage captioned = rendered();
    // The text sits in the middle third near the top; the chunk shows everywhere else.
    int changedInMiddle = 0;
    for (int y = 0; y < bar.height(); ++y) {
        for (int x = 0; x < bar.width(); ++x) {
            if (captioned.pixel(x, y) == bare.pixel(x, y))
                continue;
            ASSERT_TRUE(x > 100 && x < 200) << x << "," << y;
            ++changedInMiddle;
        }
    }
    EXPECT_GT(changedInMiddle, 20);
    EXPECT_EQ(captioned.pixel(20, 12), bare.pixel(20, 12));
}

TEST_F(ShownBar, ErrorStateDrawsARedChunkAndNormalRestoresTheLook)
{
    bar.setValue(100);
    bar.captionLabel()->setText(QString());
    const QImage normal = rendered();
    bar.setBarState(CaptionedProgressBar::BarState::Error);
    const QImage error = rendered();
    const QColor chunk = error.pixelColor(150, 12);
    EXPECT_NE(error.pixel(150, 12), normal.pixel(150, 12));
    EXPECT_GT(chunk.red(), 2 * chunk.green());
    EXPECT_GT(chunk.red(), 2 * chunk.blue());
    bar.setBarState(CaptionedProgressBar::BarState::Normal);
    EXPECT_EQ(rendered(), normal);
}

} // namespace vestra7
