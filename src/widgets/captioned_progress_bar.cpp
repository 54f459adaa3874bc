// SPDX-License-Identifier: GPL-3.0-or-later
// The captioned progress bar: its caption label, the marquee style and the error look.
#include "widgets/captioned_progress_bar.h"

#include <QLabel>
#include <QStyleOptionProgressBar>
#include <QStylePainter>

namespace vestra7 {

namespace {

const QColor errorChunkColour(204, 32, 32);

} // namespace

CaptionedProgressBar::CaptionedProgressBar(QWidget *parent)
    : QProgressBar(parent)
    , m_captionLabel(new QLabel(this))
{
    setRange(0, 100);
    setValue(0);
    // The caption is the only text; the style's own percentage would show through it.
    setTextVisible(false);
    m_captionLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_captionLabel->setText(QStringLiteral("0%"));
    m_captionLabel->setAutoFillBackground(false);
    m_captionLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_captionLabel->setGeometry(rect());
}

void CaptionedProgressBar::setBarStyle(BarStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    if (style == BarStyle::Marquee) {
        m_ordinaryMinimum = minimum();
        m_ordinaryMaximum = maximum();
        m_ordinaryValue = value();
        setRange(0, 0);
    } else {
        setRange(m_ordinaryMinimum, m_ordinaryMaximum);
        setValue(m_ordinaryValue);
    }
}

void CaptionedProgressBar::setBarState(BarState state)
{
    if (state == m_state)
        return;
    m_state = state;
    update();
}

void CaptionedProgressBar::paintEvent(QPaintEvent *event)
{
    if (m_state == BarState::Normal) {
        QProgressBar::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    option.palette.setColor(QPalette::Highlight, errorChunkColour);
    painter.drawControl(QStyle::CE_ProgressBar, option);
}

void CaptionedProgressBar::resizeEvent(QResizeEvent *event)
{
    QProgressBar::resizeEvent(event);
    m_captionLabel->setGeometry(rect());
}

} // namespace vestra7
