// SPDX-License-Identifier: GPL-3.0-or-later
// The glyph button: cell choice and caption fitting, what reaches the screen, and mouse handling.
#include "widgets/glyph_button.h"
#include "widgets/glyph_pictures.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QRgb parentColour = qRgb(40, 80, 120);
const QRgb magenta = qRgb(255, 0, 255);

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

    PressRecorder panel;
    GlyphButton *button = nullptr;
};

struct CellCase
{
    bool enabled, down, hover;
    int numGlyphs;
    int cell;
};

class GlyphCellChoice : public testing::TestWithParam<CellCase>
{
};

} // namespace

TEST_P(GlyphCellChoice, FollowsStateAndCellCount)
{
    const CellCase &c = GetParam();
    EXPECT_EQ(glyphCellIndex(c.enabled, c.down, c.hover, c.numGlyphs), c.cell);
}

INSTANTIATE_TEST_SUITE_P(States, GlyphCellChoice,
                         testing::Values(CellCase{true, false, false, 4, 0}, CellCase{false, false, false, 1, 1},
                                         CellCase{false, true, true, 4, 1}, CellCase{true, true, false, 3, 2},
                                         CellCase{true, true, false, 2, 0}, CellCase{true, false, true, 4, 3},
                                         CellCase{true, false, true, 3, 0}, CellCase{true, true, true, 4, 2}));

TEST(GlyphButtonPaint, CellImageTakesTheCellOrFallsBackToTheFirst)
{
    const QImage strip = cellStrip({Qt::red, Qt::green, Qt::blue}, 10);
    EXPECT_EQ(glyphCellImage(strip, 3, 1).size(), QSize(10, 10));
    EXPECT_EQ(glyphCellImage(strip, 3, 1).pixel(5, 5), QColor(Qt::green).rgb());
    EXPECT_EQ(glyphCellImage(strip, 3, 2).pixel(9, 9), QColor(Qt::blue).rgb());
    // A one-cell glyph asked for its disabled cell shows its only cell.
    const QImage single = cellStrip({Qt::red}, 10);
    EXPECT_EQ(glyphCellImage(single, 1, 1).pixel(0, 0), QColor(Qt::red).rgb());
    EXPECT_TRUE(glyphCellImage(strip, 0, 0).isNull());
}

TEST(GlyphButtonPaint, PlacementAndCaptionBox)
{
    EXPECT_EQ(glyphCellOrigin(QSize(65, 65), QSize(60, 60)), QPoint(2, 2));
    EXPECT_EQ(glyphCellOrigin(QSize(20, 30), QSize(25, 10)), QPoint(-2, 10));
    EXPECT_EQ(captionBox(QSize(65, 65), 16, false), QRect(QPoint(0, 24), QPoint(64, 64)));
    EXPECT_EQ(captionBox(QSize(65, 65), 16, true), QRect(QPoint(2, 26), QPoint(64, 64)));
}

TEST(GlyphButtonPaint, CaptionLosesCharactersFromTheEndUntilItFits)
{
    const auto tenPerCharacter = [](const QString &s) {
        return 10 * static_cast<int>(s.size());
    };
    EXPECT_EQ(trimCaption(QStringLiteral("Hang up"), 57, tenPerCharacter), QStringLiteral("Hang "));
    EXPECT_EQ(trimCaption(QStringLiteral("Call"), 40, tenPerCharacter), QStringLiteral("Call"));
    EXPECT_EQ(trimCaption(QStringLiteral("Call"), -3, tenPerCharacter), QString());
}

TEST(GlyphButtonPaint, ColourDerivesClampedChannelsAndCaptionContrast)
{
    const GlyphButtonColours c = deriveGlyphButtonColours(QColor(100, 200, 50));
    EXPECT_EQ(c.light, QColor(228, 255, 178));
    EXPECT_EQ(c.hotTrack, QColor(132, 232, 82));
    EXPECT_EQ(c.shadow, QColor(0, 72, 0));
    EXPECT_FALSE(c.colorWhenDown.isValid());
    EXPECT_EQ(c.caption, QColor(Qt::black));
    EXPECT_EQ(deriveGlyphButtonColours(QColor(96, 96, 96)).caption, QColor(Qt::black));
    EXPECT_EQ(deriveGlyphButtonColours(QColor(95, 96, 96)).caption, QColor(Qt::white));

    GlyphButton button;
    button.setColor(QColor(10, 20, 30));
    EXPECT_EQ(button.captionColor(), QColor(Qt::white));
    EXPECT_EQ(button.ShadowColor(), QColor(0, 0, 0));
}

TEST(GlyphButtonGlyph, WholeBitmapSetsCellCountLoadingKeepsIt)
{
    GlyphButton button;
    button.setGlyph(cellStrip({Qt::red, Qt::green, Qt::blue}, 20));
    EXPECT_EQ(button.NumGlyphs(), 3);
    button.loadGlyph(glyphPicture(QStringLiteral("OFF")));
    EXPECT_EQ(button.NumGlyphs(), 3);
    EXPECT_EQ(button.Glyph().size(), QSize(60, 60));
    button.setGlyph(QImage());
    EXPECT_EQ(button.NumGlyphs(), 0);
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

TEST_F(GlyphButtonOnPanel, KeyColourNeverReachesTheScreen)
{
    // A glyph whose own transparent colour is black, with a magenta stripe through its yellow square,
    // and a black caption over it: only the parent, the yellow and the caption's black may show, with
    // no stripe and no text edges blended into the key colour.
    QImage glyph(60, 60, QImage::Format_RGB32);
    glyph.fill(Qt::black);
    QPainter(&glyph).fillRect(10, 10, 40, 40, QColor(Qt::yellow));
    QPainter(&glyph).fillRect(28, 0, 4, 60, QColor(magenta));
    button->setGlyph(glyph);
    button->setCaption(QStringLiteral("Call A"));
    show();
    const QImage image = rendered();
    const QRgb yellow = QColor(Qt::yellow).rgb();
    const QRgb black = qRgb(0, 0, 0);
    int yellowPixels = 0;
    int blackPixels = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            ASSERT_TRUE(pixel == parentColour || pixel == yellow || pixel == black) << x << "," << y;
            yellowPixels += pixel == yellow ? 1 : 0;
            blackPixels += pixel == black ? 1 : 0;
        }
    }
    EXPECT_GT(yellowPixels, 1000);
    EXPECT_GT(blackPixels, 20); // the caption is there
    EXPECT_EQ(image.pixel(12 + 29, 12 + 12), parentColour);
}

TEST_F(GlyphButtonOnPanel, LoadedPictureShowsOnlyAfterRepaint)
{
    show();
    const QPoint discPixel(12 + 30, 12 + 3); // near the disc's edge, clear of the handset
    ASSERT_EQ(onScreen().pixel(discPixel), qRgb(141, 198, 63));

    button->loadGlyph(glyphPicture(QStringLiteral("nOFF")));
    QCoreApplication::processEvents();
    EXPECT_EQ(onScreen().pixel(discPixel), qRgb(141, 198, 63));

    button->Repaint();
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
    EXPECT_TRUE(button->hovered());
    EXPECT_EQ(rendered().pixel(40, 40), QColor(Qt::yellow).rgb());

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    EXPECT_EQ(rendered().pixel(40, 40), QColor(Qt::red).rgb());

    button->setEnabled(false);
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_FALSE(button->hovered());
    EXPECT_EQ(rendered().pixel(40, 40), QColor(Qt::green).rgb());
}

TEST_F(GlyphButtonOnPanel, PressesRaiseMouseDownBeforeTheButtonGoesDown)
{
    show();
    button->setTag(3);
    std::vector<bool> downDuringEvent;
    QObject::connect(button, &GlyphButton::OnMouseDown, [&](GlyphButton *sender) {
        downDuringEvent.push_back(sender->Down());
        EXPECT_EQ(sender->Tag(), 3);
    });
    QSignalSpy spy(button, &GlyphButton::OnMouseDown);

    QTest::mousePress(button, Qt::LeftButton, Qt::ShiftModifier, QPoint(20, 30));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<GlyphButton *>(), button);
    EXPECT_EQ(spy.at(0).at(1).value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(spy.at(0).at(2).value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    EXPECT_EQ(spy.at(0).at(3).toInt(), 20);
    EXPECT_EQ(spy.at(0).at(4).toInt(), 30);
    EXPECT_TRUE(button->Down());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 30));
    EXPECT_FALSE(button->Down());

    QTest::mousePress(button, Qt::RightButton, {}, QPoint(0, 64)); // a transparent corner
    QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(0, 64));
    QTest::mousePress(button, Qt::MiddleButton, {}, QPoint(64, 64));
    QTest::mouseRelease(button, Qt::MiddleButton, {}, QPoint(64, 64));
    ASSERT_EQ(spy.count(), 3);
    EXPECT_EQ(spy.at(1).at(1).value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(spy.at(1).at(3).toInt(), 0);
    EXPECT_EQ(spy.at(1).at(4).toInt(), 64);
    EXPECT_EQ(spy.at(2).at(1).value<Qt::MouseButton>(), Qt::MiddleButton);
    EXPECT_FALSE(button->Down()); // only the left button holds it down
    EXPECT_EQ(downDuringEvent, std::vector<bool>({false, false, false}));
    EXPECT_EQ(panel.presses, 0);
}

TEST_F(GlyphButtonOnPanel, DoubleClickRaisesTwoPlainPresses)
{
    show();
    QSignalSpy spy(button, &GlyphButton::OnMouseDown);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(30, 30));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(1).at(1).value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(spy.at(1).at(2).value<Qt::KeyboardModifiers>(), Qt::NoModifier);
    EXPECT_FALSE(button->Down());
}

TEST_F(GlyphButtonOnPanel, DisabledButtonPassesPressesToItsParentAndShowsItsPointer)
{
    panel.setCursor(Qt::CrossCursor);
    show();
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    QSignalSpy spy(button, &GlyphButton::OnMouseDown);

    button->setEnabled(false);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(30, 30));
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(panel.presses, 2);
    EXPECT_FALSE(button->Down());
    EXPECT_FALSE(button->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(button->cursor().shape(), Qt::CrossCursor);

    button->setEnabled(true);
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(GlyphButtonOnPanel, HandlerThatDisablesTheButtonDoesNotLeaveItDown)
{
    show();
    QObject::connect(button, &GlyphButton::OnMouseDown, [](GlyphButton *sender) { sender->setEnabled(false); });
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_FALSE(button->Down());
}
