// SPDX-License-Identifier: GPL-3.0-or-later
// Text on the panels' fixed light backgrounds stays readable under a dark theme; the rest of the
// window follows the theme.
#include "support/fake_adapter.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>

namespace vestra7 {

namespace {

// The common dark Fusion palette.
QPalette darkPalette()
{
    QPalette palette;
    const QColor grey(127, 127, 127);
    palette.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    palette.setColor(QPalette::AlternateBase, QColor(0x42, 0x42, 0x42));
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, grey);
    return palette;
}

// WCAG 2 relative luminance and contrast ratio.
double luminance(QRgb colour)
{
    const auto linear = [](int channel) {
        const double value = channel / 255.0;
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) + 0.0722 * linear(qBlue(colour));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of the label's text as `shot`, a picture of `shown`, shows it: within the box its text
// takes (whatever font stood in), the commonest colour is the background and the pixel that differs
// most from it is the text's own colour, anti-aliasing aside.
double textContrast(const QImage &shot, const QWidget *shown, const QLabel *label)
{
    QRect box =
        QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                            label->fontMetrics().size(Qt::TextSingleLine, label->text()), label->contentsRect());
    box.translate(label->mapTo(shown, QPoint()));
    std::map<QRgb, int> counts;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            ++counts[shot.pixel(x, y)];
    const QRgb background =
        std::max_element(counts.begin(), counts.end(), [](auto &a, auto &b) { return a.second < b.second; })->first;
    double best = 1.0;
    for (const auto &[colour, count] : counts)
        best = std::max(best, contrast(colour, background));
    return best;
}

// Every named label inside `shown` reads at 4.5:1 or better, as `shown` paints itself now.
void expectReadable(QWidget *shown, std::initializer_list<const char *> labels)
{
    const QImage shot = shown->grab().toImage();
    for (const char *name : labels) {
        const auto *label = shown->findChild<QLabel *>(QLatin1String(name));
        ASSERT_TRUE(label) << name;
        EXPECT_GE(textContrast(shot, shown, label), 4.5) << name;
    }
}

// A main window made under the given palette, as the desktop's theme gives it at start.
class ThemedWindow
{
public:
    explicit ThemedWindow(const QPalette &palette)
    {
        QApplication::setPalette(palette);
        window = std::make_unique<MainWindow>(adapter);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        emit adapter.connectionChanged(true);
    }
    ~ThemedWindow() { QApplication::setPalette(m_saved); }

    template <class T = QWidget> T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }

    FakeAdapter adapter;
    std::unique_ptr<MainWindow> window;

private:
    QPalette m_saved = QApplication::palette();
};

TEST(DarkTheme, PanelTextIsReadableUnderTheDesktopsOwnAndADarkTheme)
{
    for (const QPalette &palette : {QApplication::palette(), darkPalette()}) {
        ThemedWindow themed(palette);
        expectReadable(themed.window->centralWidget(), {"lineALabel", "lineBLabel", "nameCaption", "numberCaption",
                                                        "phoneBookCaption", "callListCaption"});
        QWidget *settings = themed.child("settingsPanel");
        settings->show();
        expectReadable(settings, {"micGainLabel", "lineGainLabel", "autoAnswerALabel", "autoAnswerBLabel"});
        emit themed.adapter.connectionChanged(false);
        expectReadable(themed.child("overlay"), {"messageLabel"});
    }
}

TEST(DarkTheme, ControlsWithoutAFixedBackgroundFollowTheTheme)
{
    const QPalette dark = darkPalette();
    const ThemedWindow themed(dark);
    for (const char *name : {"partyNameEdit", "phoneBookList", "micGainSelector", "okButton"}) {
        const QPalette palette = themed.child(name)->palette();
        EXPECT_EQ(palette.color(QPalette::Text), dark.color(QPalette::Text)) << name;
        EXPECT_EQ(palette.color(QPalette::Base), dark.color(QPalette::Base)) << name;
    }
}

} // namespace

} // namespace vestra7
