// SPDX-License-Identifier: GPL-3.0-or-later
// The glyph button: cell choice, what reaches the screen in each state, and mouse handling.
#include "widgets/glyph_button.h"
#include "widgets/glyph_button_paint.h"
#include "widgets/glyph_pictures.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

const QRgb parentColour = qRgb(40, 80, 120);
const QRgb magenta = qRgb(255, 0, 255);
const QRgb red = QColor(Qt::red).rgb();
const QRgb green = QColor(Qt::green).rgb();
const QRgb blue = QColor(Qt::blue).rgb();
const QRgb yellow = QColor(Qt::yellow).rgb();

// A glyph of `cells` square cells of `size` pixels, each filled with its own colour but for a white
// bottom-left pixel, the colour left out when it is drawn.
QImage cellStrip(const std::vector<QColor> &cells, int size)
{
    QImage glyph(size * static_cast<int>(cells.size()), size, QImage::Format_RGB32);
    QPainter painter(&glyph);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int left = static_cast<int>(i) * size;
        painter.fillRect(left, 0, size, size, cells[i]);
        painter.fillRect(left, size - 1, 1, 1, Qt::white);
    }
    return glyph;
}

// A parent that records the presses it receives, painted in one plain colour.
class PressRecorder : public QWidget
{
public:
    PressRecorder()
    {
        setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(parentColour));
        setPalette(palette);
        resize(100, 100);
    }
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

class GlyphButtonOnPanel : public testing::Test
{
protected:
    void SetUp() override
    {
        button = new GlyphButton(&panel);
        button->setGeometry(10, 10, 65, 65);
        button->setGlyph(glyphPicture(QStringLiteral("ON")));
    }

    void show()
    {
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    }

    // What the screen shows now, without painting anything anew.
    QImage onScreen()
    {
        return panel.screen()->grabWindow(panel.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }
    // The panel painted afresh, button included.
    QImage rendered() { return panel.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // The colour of the cell the button shows, from the middle of its picture.
    QRgb shownCell() { return rendered().pixel(40, 40); }

    PressRecorder panel;
    GlyphButton *button = nullptr;
};

struct CellCase
{
    bool enabled, down, hover;
    int cellCount;
    int cell;
};

class GlyphCellChoice : public testing::TestWithParam<CellCase>
{
};

struct PressCase
{
    bool enabled;
    Qt::MouseButton button;
    int pressed;         // pressed() signals
    QRgb shownWhileHeld; // the cell of a red, green, blue strip
    int parentPresses;
};

class GlyphButtonPress : public GlyphButtonOnPanel, public testing::WithParamInterface<PressCase>
{
};

} // namespace

TEST_P(GlyphCellChoice, FollowsStateAndCellCount)
{
    const CellCase &c = GetParam();
    EXPECT_EQ(glyphCellIndex(c.enabled, c.down, c.hover, c.cellCount), c.cell);
}

INSTANTIATE_TEST_SUITE_P(States, GlyphCellChoice,
                         testing::Values(CellCase{true, false, false, 4, 0}, CellCase{false, false, false, 1, 1},
                                         CellCase{false, true, true, 4, 1}, CellCase{true, true, false, 3, 2},
                                         CellCase{true, true, false, 2, 0}, CellCase{true, false, true, 4, 3},
                                         CellCase{true, false, true, 3, 0}, CellCase{true, true, true, 4, 2}));

TEST(GlyphButtonPaint, CellsAreSquaresTakenByIndexOrFallingBackToTheFirst)
{
    EXPECT_EQ(glyphCellCount(QSize(60, 60)), 1);
    EXPECT_EQ(glyphCellCount(QSize(240, 60)), 4);
    EXPECT_EQ(glyphCellCount(QSize(100, 60)), 1);
    EXPECT_EQ(glyphCellCount(QSize()), 0);

    const QImage strip = cellStrip({Qt::red, Qt::green, Qt::blue}, 10);
    EXPECT_EQ(glyphCellImage(strip, 3, 1).size(), QSize(10, 10));
    EXPECT_EQ(glyphCellImage(strip, 3, 1).pixel(5, 5), QColor(Qt::green).rgb());
    EXPECT_EQ(glyphCellImage(strip, 3, 2).pixel(9, 9), QColor(Qt::blue).rgb());
    // A one-cell glyph asked for its disabled cell shows its only cell.
    const QImage single = cellStrip({Qt::red}, 10);
    EXPECT_EQ(glyphCellImage(single, 1, 1).pixel(0, 0), QColor(Qt::red).rgb());
    EXPECT_TRUE(glyphCellImage(strip, 0, 0).isNull());

    EXPECT_EQ(glyphCellOrigin(QSize(65, 65), QSize(60, 60)), QPoint(2, 2));
    EXPECT_EQ(glyphCellOrigin(QSize(20, 30), QSize(25, 10)), QPoint(-2, 10));
}

TEST_F(GlyphButtonOnPanel, StaysWithoutANativeWindow)
{
    show();
    EXPECT_EQ(button->internalWinId(), WId(0));
    EXPECT_FALSE(button->testAttribute(Qt::WA_NativeWindow));
}

TEST_F(GlyphButtonOnPanel, PictureLandsAtTwoTwoWithWhiteAndKeyColourShowingTheParent)
{
    QImage glyph = glyphPicture(QStringLiteral("OFF")).convertToFormat(QImage::Format_RGB32);
    glyph.setPixel(30, 45, magenta); // inside the red disc
    button->setGlyph(glyph);
    show();
    const QImage image = rendered();
    const QRect picture(12, 12, 60, 60);
    for (int y = 0; y < panel.height(); ++y) {
        for (int x = 0; x < panel.width(); ++x) {
            QRgb expected = parentColour;
            if (picture.contains(x, y)) {
                const QRgb own = glyph.pixel(x - 12, y - 12);
                if (own != qRgb(255, 255, 255) && own != magenta)
                    expected = own;
            }
            ASSERT_EQ(image.pixel(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(image.pixel(12 + 30, 12 + 45), parentColour);
}

TEST_F(GlyphButtonOnPanel, TheColourOfTheBottomLeftPixelAndTheKeyColourNeverReachTheScreen)
{
    // A glyph whose own transparent colour is black, with a magenta stripe through its yellow square:
    // only the parent and the yellow may show.
    QImage glyph(60, 60, QImage::Format_RGB32);
    glyph.fill(Qt::black);
    QPainter(&glyph).fillRect(10, 10, 40, 40, QColor(Qt::yellow));
    QPainter(&glyph).fillRect(28, 0, 4, 60, QColor(magenta));
    button->setGlyph(glyph);
    show();
    const QImage image = rendered();
    int yellowPixels = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            ASSERT_TRUE(pixel == parentColour || pixel == yellow) << x << "," << y;
            yellowPixels += pixel == yellow ? 1 : 0;
        }
    }
    EXPECT_EQ(yellowPixels, 36 * 40);
}

TEST_F(GlyphButtonOnPanel, ANewGlyphReachesTheScreenAtTheNextPaint)
{
    show();
    const QPoint discPixel(12 + 30, 12 + 3); // near the disc's edge, clear of the handset
    ASSERT_EQ(onScreen().pixel(discPixel), qRgb(141, 198, 63));

    button->setGlyph(glyphPicture(QStringLiteral("nOFF")));
    QCoreApplication::processEvents();
    EXPECT_EQ(onScreen().pixel(discPixel), qRgb(206, 168, 170));
}

TEST_F(GlyphButtonOnPanel, OneCellGlyphLooksTheSameDisabled)
{
    show();
    const QImage enabled = rendered();
    button->setEnabled(false);
    EXPECT_EQ(rendered(), enabled);
}

TEST_F(GlyphButtonOnPanel, HoverShowsTheFourthCellOnlyWhileEnabled)
{
    button->setGlyph(cellStrip({Qt::red, Qt::green, Qt::blue, Qt::yellow}, 60));
    show();
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(shownCell(), yellow);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    EXPECT_EQ(shownCell(), red);

    button->setEnabled(false);
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(shownCell(), green);
    button->setEnabled(true);
    EXPECT_EQ(shownCell(), red); // disabling ended the hover
}

TEST_P(GlyphButtonPress, IsRaisedBeforeOnlyTheLeftButtonHoldsItDown)
{
    const PressCase &c = GetParam();
    button->setGlyph(cellStrip({Qt::red, Qt::green, Qt::blue}, 60));
    button->setEnabled(c.enabled);
    show();
    const QRgb idle = c.enabled ? red : green;
    std::vector<QRgb> shownDuringSignal;
    QObject::connect(button, &GlyphButton::pressed, [&] { shownDuringSignal.push_back(shownCell()); });
    QSignalSpy spy(button, &GlyphButton::pressed);

    // A transparent corner counts as much as the picture.
    QTest::mousePress(button, c.button, {}, QPoint(0, 64));
    EXPECT_EQ(spy.count(), c.pressed);
    EXPECT_EQ(shownDuringSignal, std::vector<QRgb>(static_cast<std::size_t>(c.pressed), idle));
    EXPECT_EQ(shownCell(), c.shownWhileHeld);
    EXPECT_EQ(panel.presses, c.parentPresses);
    QTest::mouseRelease(button, c.button, {}, QPoint(0, 64));
    EXPECT_EQ(shownCell(), idle);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, GlyphButtonPress,
    testing::Values(PressCase{true, Qt::LeftButton, 1, blue, 0}, PressCase{true, Qt::RightButton, 1, red, 0},
                    PressCase{true, Qt::MiddleButton, 1, red, 0}, PressCase{true, Qt::BackButton, 0, red, 1},
                    PressCase{false, Qt::LeftButton, 0, green, 1}, PressCase{false, Qt::RightButton, 0, green, 1}));

TEST_F(GlyphButtonOnPanel, DoubleClickRaisesTwoPlainPresses)
{
    button->setGlyph(cellStrip({Qt::red, Qt::green, Qt::blue}, 60));
    show();
    QSignalSpy spy(button, &GlyphButton::pressed);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(shownCell(), blue);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(shownCell(), red);
}

TEST_F(GlyphButtonOnPanel, ShowsTheHandWhileEnabledAndItsParentsPointerWhileDisabled)
{
    panel.setCursor(Qt::CrossCursor);
    show();
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    button->setEnabled(false);
    EXPECT_FALSE(button->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(button->cursor().shape(), Qt::CrossCursor);
    button->setEnabled(true);
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(GlyphButtonOnPanel, AReceiverThatDisablesTheButtonDoesNotLeaveItDown)
{
    button->setGlyph(cellStrip({Qt::red, Qt::green, Qt::blue}, 60));
    show();
    QObject::connect(button, &GlyphButton::pressed, button, [this] { button->setEnabled(false); });
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(30, 30));
    button->setEnabled(true); // no release reaches a disabled button
    EXPECT_EQ(shownCell(), red);
}

} // namespace vestra7
