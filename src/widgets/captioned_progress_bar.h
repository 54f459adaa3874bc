// SPDX-License-Identifier: GPL-3.0-or-later
// A progress bar with a caption label drawn over it.
#pragma once

#include <QProgressBar>

class QLabel;

namespace vestra7 {

// The caption does not follow the position: the owner sets each on its own, through the bar and
// through captionLabel(). The label is a child without a background, so the bar shows under the
// text, and both are composed in the window's back buffer and reach the screen together without
// flicker.
class CaptionedProgressBar : public QProgressBar
{
    Q_OBJECT

public:
    enum class BarStyle { Ordinary, Marquee };
    // Qt has no error look of its own for a progress bar; the error state draws the chunk in red.
    enum class BarState { Normal, Error };

    explicit CaptionedProgressBar(QWidget *parent = nullptr);

    // The caption: owned by the bar, filling its area, text centred horizontally from the top edge,
    // in the bar's font. It reads "0%" until the owner sets another text.
    QLabel *captionLabel() const { return m_captionLabel; }

    BarStyle barStyle() const { return m_style; }
    // Marquee shows a busy bar; going back to ordinary restores the range and position it had.
    void setBarStyle(BarStyle style);

    BarState barState() const { return m_state; }
    void setBarState(BarState state);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *m_captionLabel;
    BarStyle m_style = BarStyle::Ordinary;
    BarState m_state = BarState::Normal;
    int m_ordinaryMinimum = 0;
    int m_ordinaryMaximum = 100;
    int m_ordinaryValue = 0;
};

} // namespace vestra7
